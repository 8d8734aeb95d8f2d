// dev only: node devshot.mjs FOLDER OUT.png [query]
import puppeteer from 'puppeteer-core';
import http from 'node:http';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
const [folder, out, query = '?test&clock=0'] = process.argv.slice(2);
const types = { '.html': 'text/html', '.mjs': 'text/javascript', '.js': 'text/javascript', '.json': 'application/json', '.wasm': 'application/wasm', '.css': 'text/css' };
const server = http.createServer(async (req, res) => {
  const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
  const file = path.join(folder, name === '/' ? 'index.html' : name);
  try { const body = await readFile(file); res.writeHead(200, { 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream' }); res.end(body); }
  catch { res.writeHead(404); res.end(); }
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));
const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--window-size=1024,768'], env: { ...process.env, DISPLAY: '' } });
const page = await browser.newPage();
page.on('console', (m) => console.log('console:', m.text()));
page.on('pageerror', (e) => console.log('pageerror:', e.message));
await page.setViewport({ width: 1024, height: 768 });
await page.goto(`http://127.0.0.1:${server.address().port}/${query}`);
await page.waitForFunction(() => document.body.dataset.test === 'ready' || document.body.dataset.state !== 'loading', { timeout: 60000 });
console.log('state', await page.evaluate(() => document.body.dataset.state));
const t0 = Date.now();
await page.evaluate(() => window.stageworksTest && window.stageworksTest.frames(1));
console.log('frame ms', Date.now() - t0);
await page.screenshot({ path: out });
await browser.close(); server.close();
