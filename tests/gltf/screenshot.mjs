// Opens an exported .glb in three.js (GLTFLoader) in headless Chromium and saves a
// screenshot of it, 1024 x 768, seen from the editor's start camera.
//   node screenshot.mjs FILE.glb OUT.png
// The page and the file are served from 127.0.0.1 on a free port for the length of the run;
// the page posts its canvas back once the file is drawn, and the browser (started by the
// tests' headless launcher: no display, its whole process group ended with it) is closed.
import { readFile, rename, writeFile } from 'node:fs/promises';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { launchChromium } from '../support/headless_chromium.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const [file, out] = process.argv.slice(2);
if (!file || !out) {
  console.error('usage: node screenshot.mjs FILE.glb OUT.png');
  process.exit(2);
}

const types = { '.html': 'text/html', '.js': 'text/javascript', '.glb': 'model/gltf-binary' };
const routes = (url) => {
  const name = decodeURIComponent(new URL(url, 'http://x').pathname);
  if (name === '/') return path.join(here, 'viewer.html');
  if (name === '/scene.glb') return path.resolve(file);
  if (name.startsWith('/three/') && !name.includes('..')) return path.join(here, 'node_modules', name);
  return null;
};
let finish;
const outcome = new Promise((resolve) => { finish = resolve; });
const server = http.createServer(async (request, response) => {
  if (request.method === 'POST') {
    const chunks = [];
    for await (const chunk of request) chunks.push(chunk);
    response.end();
    const body = Buffer.concat(chunks).toString();
    finish(request.url === '/shot' ? { png: Buffer.from(body.replace(/^data:image\/png;base64,/, ''), 'base64') }
                                    : { error: body });
    return;
  }
  const target = routes(request.url);
  try {
    const body = await readFile(target);
    response.writeHead(200, { 'Content-Type': types[path.extname(target)] ?? 'application/octet-stream' });
    response.end(body);
  } catch {
    response.writeHead(404);
    response.end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const page = `http://127.0.0.1:${server.address().port}/?file=/scene.glb`;

// NOTE: two tries of the picture test fit in ctest's time-out
const LIMIT_MS = 120000;
const browser = await launchChromium({ args: [page] });
browser.exited.then((status) => finish({ error: `chromium ended (status ${status}) before the page was drawn\n${browser.output()}` }));
const timer = setTimeout(() => finish({ error: `no picture within ${LIMIT_MS / 1000} s\n${browser.output()}` }), LIMIT_MS);

const result = await outcome;
clearTimeout(timer);
await browser.close();
server.close();
if (!result.png || result.png.length === 0) {
  console.error(`screenshot.mjs: ${file} was not drawn: ${result.error}`);
  process.exit(1);
}
// NOTE: written beside the target and renamed, so a reader never sees half a picture
await writeFile(`${out}.part`, result.png);
await rename(`${out}.part`, out);
console.log(`${out}: ${file} as three.js draws it`);
