// Opens an exported .glb in three.js (GLTFLoader) in headless Chromium and saves a
// screenshot of it, 1024 x 768, seen from the editor's start camera.
//   node screenshot.mjs FILE.glb OUT.png
// The page and the file are served from 127.0.0.1 on a free port for the length of the run.
import { spawn } from 'node:child_process';
import { mkdtemp, readFile, rm, stat } from 'node:fs/promises';
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
const server = http.createServer(async (request, response) => {
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
  '--hide-scrollbars', '--window-size=1024,768', '--virtual-time-budget=30000',
  `--screenshot=${path.resolve(out)}`, page];
const code = await new Promise((resolve) => {
  const child = spawn(browser, args, { stdio: ['ignore', 'ignore', 'pipe'] });
  let errors = '';
  child.stderr.on('data', (chunk) => { errors += chunk; });
  const timer = setTimeout(() => child.kill('SIGKILL'), 120000);
  child.on('exit', (status) => {
    clearTimeout(timer);
    if (status !== 0) process.stderr.write(errors);
    resolve(status ?? 1);
  });
});
server.close();
await rm(profile, { recursive: true, force: true });
const written = await stat(out).then((s) => s.size > 0, () => false);
if (code !== 0 || !written) {
  console.error(`screenshot.mjs: chromium did not draw ${file} (status ${code})`);
  process.exit(1);
}
console.log(`${out}: ${file} as three.js draws it`);
