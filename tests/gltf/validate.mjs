// Runs the Khronos glTF-Validator on one .glb or .gltf file (with its resources beside it).
// Prints the issue counts and every error and warning; exits 1 when the file has errors.
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import validator from 'gltf-validator';

const file = process.argv[2];
if (!file) {
  console.error('usage: node validate.mjs FILE.glb|FILE.gltf');
  process.exit(2);
}
const bytes = new Uint8Array(await readFile(file));
const report = await validator.validateBytes(bytes, {
  uri: path.basename(file),
  maxIssues: 0,
  externalResourceFunction: (uri) =>
    readFile(path.join(path.dirname(file), decodeURIComponent(uri))).then((data) => new Uint8Array(data)),
});
const issues = report.issues;
console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos, ${issues.numHints} hints`);
for (const message of issues.messages) {
  if (message.severity <= 1) console.log(`  ${message.severity === 0 ? 'error' : 'warning'} ${message.code} ${message.pointer ?? ''}: ${message.message}`);
}
process.exit(issues.numErrors === 0 ? 0 : 1);
