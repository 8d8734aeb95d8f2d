// The trace suite's replay in headless Chromium: the compiled engine served with a trace
// page from a local static server (engine.mjs fetching its .wasm as a published page does),
// the states printed one JSON document per line as replay.mjs prints them.
//   node replay_in_chromium.mjs ENGINE_DIR scene.json trace.json
import { readFile } from 'node:fs/promises';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { launchChromium } from '../support/headless_chromium.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const [engineDir, sceneFile, traceFile] = process.argv.slice(2);
if (!engineDir || !sceneFile || !traceFile) {
  console.error('usage: node replay_in_chromium.mjs ENGINE_DIR scene.json trace.json');
  process.exit(2);
}

const PAGE = `<!DOCTYPE html><meta charset="utf-8"><title>trace</title><script type="module">
import { createEngine } from './engine/engine.mjs';
import { replayTrace } from './replay_trace.mjs';
const report = (kind, body) => fetch('/' + kind, { method: 'POST', body });
try {
  const [scene, trace] = await Promise.all(['scene.json', 'trace.json'].map(async (f) => (await fetch(f)).json()));
  const engine = await createEngine();
  await report('states', replayTrace(engine, scene, trace).join('\\n'));
} catch (error) {
  await report('error', String(error && error.stack || error));
}
</script>`;

const files = {
  '/': [PAGE, 'text/html'],
  '/replay_trace.mjs': [path.join(here, 'replay_trace.mjs'), 'text/javascript'],
  '/engine/engine.mjs': [path.join(engineDir, 'engine.mjs'), 'text/javascript'],
  '/engine/stageworks-engine.mjs': [path.join(engineDir, 'stageworks-engine.mjs'), 'text/javascript'],
  '/engine/stageworks-engine.wasm': [path.join(engineDir, 'stageworks-engine.wasm'), 'application/wasm'],
  '/scene.json': [sceneFile, 'application/json'],
  '/trace.json': [traceFile, 'application/json'],
};
let finish;
const outcome = new Promise((resolve) => { finish = resolve; });
const server = http.createServer(async (request, response) => {
  if (request.method === 'POST') {
    const chunks = [];
    for await (const chunk of request) chunks.push(chunk);
    response.end();
    finish({ [request.url === '/states' ? 'states' : 'error']: Buffer.concat(chunks).toString() });
    return;
  }
  const file = files[new URL(request.url, 'http://x').pathname];
  if (!file) {
    response.writeHead(404);
    response.end();
    return;
  }
  const body = request.url === '/' ? file[0] : await readFile(file[0]);
  response.writeHead(200, { 'Content-Type': file[1] });
  response.end(body);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));

const browser = await launchChromium({ args: [`http://127.0.0.1:${server.address().port}/`] });
browser.exited.then((status) => finish({ error: `chromium ended (status ${status})\n${browser.output()}` }));
const timer = setTimeout(() => finish({ error: `no states within 120 s\n${browser.output()}` }), 120000);
const result = await outcome;
clearTimeout(timer);
await browser.close();
server.close();
if (result.error !== undefined) {
  console.error(`replay_in_chromium.mjs: ${result.error}`);
  process.exit(1);
}
process.stdout.write(`${result.states}\n`);
