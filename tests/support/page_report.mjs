// A test page in headless Chromium that reports one result back: the page and its files are
// served from 127.0.0.1 on a free port, the browser is started by the headless launcher (no
// display, its whole process group ended with it), and the first POST the page makes (its
// path names the kind: /states, /shot, /error) is the outcome. The browser ending first, or
// no report within limitMs, is an error.
//
// DEPENDENCIES: node (http, fs), headless_chromium.mjs
import { readFile } from 'node:fs/promises';
import http from 'node:http';
import { launchChromium } from './headless_chromium.mjs';

// Serves route(pathname) -> { text } | { file } with { type }, or null for 404; opens the page
// at pagePath and resolves with { kind, body } of the page's report, or { error }
export async function reportFromPage({ route, pagePath = '/', limitMs = 120000 }) {
  let finish;
  const outcome = new Promise((resolve) => { finish = resolve; });
  const server = http.createServer(async (request, response) => {
    if (request.method === 'POST') {
      const chunks = [];
      for await (const chunk of request) chunks.push(chunk);
      response.end();
      const body = Buffer.concat(chunks).toString();
      const kind = new URL(request.url, 'http://x').pathname.slice(1);
      finish(kind === 'error' ? { error: body } : { kind, body });
      return;
    }
    const entry = route(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    try {
      if (!entry) throw new Error('not served');
      const body = entry.text ?? await readFile(entry.file);
      response.writeHead(200, { 'Content-Type': entry.type ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));

  const browser = await launchChromium({ args: [`http://127.0.0.1:${server.address().port}${pagePath}`] });
  browser.exited.then((status) => finish({ error: `chromium ended (status ${status}) before the page reported\n${browser.output()}` }));
  const timer = setTimeout(() => finish({ error: `no report within ${limitMs / 1000} s\n${browser.output()}` }), limitMs);
  const result = await outcome;
  clearTimeout(timer);
  await browser.close();
  server.close();
  return result;
}
