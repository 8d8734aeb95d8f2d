// Opens an exported .glb in three.js (GLTFLoader) in headless Chromium and saves a
// screenshot of it, 1024 x 768, seen from the editor's start camera.
//   node screenshot.mjs FILE.glb OUT.png
// The page and the file are served from 127.0.0.1 on a free port for the length of the run;
// the page posts its canvas back once the file is drawn, and the browser (started by the
// tests' headless launcher: no display, its whole process group ended with it) is closed
// (support/page_report.mjs).
import { rename, writeFile } from 'node:fs/promises';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { reportFromPage } from '../support/page_report.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const [file, out] = process.argv.slice(2);
if (!file || !out) {
  console.error('usage: node screenshot.mjs FILE.glb OUT.png');
  process.exit(2);
}

const types = { '.html': 'text/html', '.js': 'text/javascript', '.glb': 'model/gltf-binary' };
const served = (target) => ({ file: target, type: types[path.extname(target)] });
const route = (name) => {
  if (name === '/') return served(path.join(here, 'viewer.html'));
  if (name === '/scene.glb') return served(path.resolve(file));
  if (name.startsWith('/three/') && !name.includes('..')) return served(path.join(here, 'node_modules', name));
  return null;
};

// NOTE: two tries of the picture test fit in ctest's time-out
const result = await reportFromPage({ route, pagePath: '/?file=/scene.glb', limitMs: 120000 });
const png = result.kind === 'shot' ? Buffer.from(result.body.replace(/^data:image\/png;base64,/, ''), 'base64') : null;
if (!png || png.length === 0) {
  console.error(`screenshot.mjs: ${file} was not drawn: ${result.error ?? result.body}`);
  process.exit(1);
}
// NOTE: written beside the target and renamed, so a reader never sees half a picture
await writeFile(`${out}.part`, png);
await rename(`${out}.part`, out);
console.log(`${out}: ${file} as three.js draws it`);
