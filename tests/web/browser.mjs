// The published page in headless Chromium, for the web tests: a static server of the folder
// on 127.0.0.1 that logs every request, and Debian's Chromium (tests/support's launcher)
// driven by puppeteer-core with WebGL on SwiftShader. Chromium is started without DISPLAY,
// can reach nothing but the loopback server (every other host name resolves to nothing and
// every proxy is refused), and its whole process group is ended with the test, however the
// test ends.
import puppeteer from 'puppeteer-core';
import { launchChromium } from '../support/headless_chromium.mjs';
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

// Debian's Chromium through the project's launcher (no DISPLAY, its own process group ended
// with the test however the test ends), WebGL on SwiftShader, offline but for the loopback
// address, driven by puppeteer-core
export async function launchBrowser(extraArgs = []) {
  const chromium = await launchChromium({
    devtools: true,
    args: ['--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1', '--proxy-server=127.0.0.1:9',
      '--proxy-bypass-list=127.0.0.1', '--disable-default-apps', ...extraArgs],
  });
  let browser;
  try {
    browser = await puppeteer.connect({ browserWSEndpoint: chromium.wsEndpoint, defaultViewport: null });
  } catch (error) {
    await chromium.close();
    throw error;
  }
  const close = async () => {
    await Promise.race([browser.disconnect().catch(() => {}), new Promise((resolve) => setTimeout(resolve, 5000))]);
    await chromium.close();
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
