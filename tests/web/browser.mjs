// The published page in headless Chromium, for the web tests: a static server of the folder
// on 127.0.0.1 that logs every request, and Debian's Chromium driven by puppeteer-core with
// WebGL on SwiftShader. Chromium is started without DISPLAY, can reach nothing but the
// loopback server (every other host name resolves to nothing and every proxy is refused),
// and its whole process group is ended with the test, however the test ends.
import puppeteer from 'puppeteer-core';
import http from 'node:http';
import { readFile } from 'node:fs/promises';
import path from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.mjs': 'text/javascript', '.js': 'text/javascript',
  '.json': 'application/json', '.wasm': 'application/wasm', '.css': 'text/css', '.bin': 'application/octet-stream',
  '.glf': 'application/octet-stream',
};

// Serves folder as a plain static server would; every request is logged in requests
export async function serveFolder(folder) {
  const requests = [];
  const root = path.resolve(folder);
  const server = http.createServer(async (request, response) => {
    requests.push(request.url);
    const name = decodeURIComponent(new URL(request.url, 'http://local').pathname);
    const file = path.resolve(root, '.' + (name.endsWith('/') ? name + 'index.html' : name));
    if (file !== root && !file.startsWith(root + path.sep)) {
      response.writeHead(403);
      response.end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const origin = `http://127.0.0.1:${server.address().port}`;
  return { origin, requests, close: () => new Promise((resolve) => server.close(resolve)) };
}

const groups = new Set();
// NOTE: whatever ends the test, no browser process stays behind
function endGroups() {
  for (const pid of groups) {
    try {
      process.kill(-pid, 'SIGKILL');
    } catch {
      // already gone
    }
  }
  groups.clear();
}
process.on('exit', endGroups);
for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP']) {
  process.on(signal, () => {
    endGroups();
    process.exit(128 + 2);
  });
}

// Debian's Chromium, headless, WebGL on SwiftShader, offline but for the loopback address
export async function launchBrowser(extraArgs = []) {
  const env = { ...process.env };
  delete env.DISPLAY;
  delete env.WAYLAND_DISPLAY;
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    env,
    // NOTE: detached makes Chromium the leader of a process group of its own
    handleSIGINT: false, handleSIGTERM: false, handleSIGHUP: false,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--window-size=1024,768',
      '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-default-apps', '--disable-quic', '--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1',
      '--proxy-server=127.0.0.1:9', '--proxy-bypass-list=127.0.0.1', ...extraArgs],
  });
  const pid = browser.process()?.pid;
  if (pid) groups.add(pid);
  const close = async () => {
    await Promise.race([browser.close().catch(() => {}), new Promise((resolve) => setTimeout(resolve, 10000))]);
    endGroups();
  };
  return { browser, close };
}

// A page of the folder at 1024 x 768; resolves once the page says it is running (or failed,
// or has no WebGL)
export async function openPage(browser, origin, query = '', waitFor = 'running') {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.setViewport({ width: 1024, height: 768 });
  await page.goto(`${origin}/${query}`);
  await page.waitForFunction(
    (want) => document.body.dataset.state !== 'loading' && (want !== 'test' || document.body.dataset.test === 'ready'),
    { timeout: 120000 }, waitFor);
  return { page, errors };
}
