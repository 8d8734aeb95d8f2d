// The trace suite's replay in headless Chromium: the compiled engine served with a trace
// page from a local static server (engine.mjs fetching its .wasm as a published page does),
// the states printed one JSON document per line as replay.mjs prints them.
//   node replay_in_chromium.mjs ENGINE_DIR scene.json trace.json
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { reportFromPage } from '../support/page_report.mjs';

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
  '/': { text: PAGE, type: 'text/html' },
  '/replay_trace.mjs': { file: path.join(here, 'replay_trace.mjs'), type: 'text/javascript' },
  '/engine/engine.mjs': { file: path.join(engineDir, 'engine.mjs'), type: 'text/javascript' },
  '/engine/stageworks-engine.mjs': { file: path.join(engineDir, 'stageworks-engine.mjs'), type: 'text/javascript' },
  '/engine/stageworks-engine.wasm': { file: path.join(engineDir, 'stageworks-engine.wasm'), type: 'application/wasm' },
  '/scene.json': { file: sceneFile, type: 'application/json' },
  '/trace.json': { file: traceFile, type: 'application/json' },
};
const result = await reportFromPage({ route: (name) => files[name] ?? null });
if (result.error !== undefined || result.kind !== 'states') {
  console.error(`replay_in_chromium.mjs: ${result.error ?? `unexpected report ${result.kind}`}`);
  process.exit(1);
}
process.stdout.write(`${result.body}\n`);
