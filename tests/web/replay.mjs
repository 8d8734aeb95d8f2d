// Replays an input trace in the browser's event engine under node and prints the engine's
// state after play starts and after every step, one JSON document per line.
//   node replay.mjs ENGINE_DIR scene.json trace.json
// ENGINE_DIR holds engine.mjs with the compiled stageworks-engine.mjs and .wasm beside it.
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { replayTrace } from './replay_trace.mjs';

const [engineDir, sceneFile, traceFile] = process.argv.slice(2);
if (!engineDir || !sceneFile || !traceFile) {
  console.error('usage: node replay.mjs ENGINE_DIR scene.json trace.json');
  process.exit(2);
}

const { createEngine } = await import(pathToFileURL(path.join(path.resolve(engineDir), 'engine.mjs')).href);
// NOTE: node cannot fetch a file path; the compiled engine takes its bytes instead
const engine = await createEngine({ wasmBinary: await readFile(path.join(engineDir, 'stageworks-engine.wasm')) });
const scene = JSON.parse(await readFile(sceneFile, 'utf8'));
const trace = JSON.parse(await readFile(traceFile, 'utf8'));

process.stdout.write(`${replayTrace(engine, scene, trace).join('\n')}\n`);
