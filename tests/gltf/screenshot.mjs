// Opens an exported .glb in three.js (GLTFLoader) in headless Chromium and saves a
// screenshot of it, 1024 x 768, seen from the editor's start camera.
//   node screenshot.mjs FILE.glb OUT.png
// The page and the file are served from 127.0.0.1 on a free port for the length of the run;
// the page posts its canvas back once the file is drawn, and the browser is then closed.
import { spawn } from 'node:child_process';
import { mkdtemp, readFile, rename, rm, writeFile } from 'node:fs/promises';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

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

const profile = await mkdtemp(path.join(os.tmpdir(), 'gltf-viewer-'));
const browser = process.env.CHROMIUM ?? 'chromium';
const args = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--enable-unsafe-swiftshader', '--use-angle=swiftshader', `--user-data-dir=${profile}`,
  '--hide-scrollbars', '--window-size=1024,768', page];
const child = spawn(browser, args, { stdio: ['ignore', 'ignore', 'pipe'] });
let errors = '';
child.stderr.on('data', (chunk) => { errors += chunk; });
const exited = new Promise((resolve) => child.on('exit', resolve));
child.on('exit', (status) => finish({ error: `chromium ended (status ${status}) before the page was drawn\n${errors}` }));
const timer = setTimeout(() => finish({ error: 'no picture within 180 s' }), 180000);

const result = await outcome;
clearTimeout(timer);
// NOTE: SIGTERM lets the browser end and collect its own helper processes
child.kill('SIGTERM');
const forced = setTimeout(() => child.kill('SIGKILL'), 10000);
await exited;
clearTimeout(forced);
server.close();
await rm(profile, { recursive: true, force: true });
if (!result.png || result.png.length === 0) {
  console.error(`screenshot.mjs: ${file} was not drawn: ${result.error}`);
  process.exit(1);
}
// NOTE: written beside the target and renamed, so a reader never sees half a picture
await writeFile(`${out}.part`, result.png);
await rename(`${out}.part`, out);
console.log(`${out}: ${file} as three.js draws it`);
