// The page brought to the states 'stageworks --play' reached, by the page's own input and
// engine, and photographed:
//   node page_views.mjs FOLDER OUTDIR START.state [WALK.state TURN.state DX]
// START, WALK and TURN are what the player's test probe wrote: the camera and every object's
// pose, material and texture turn at the moment its screenshot was taken. The player was
// photographed at its start, after walking forward with the up arrow (held for a number of
// frames nobody can know in advance) and then after turning by DX pixels of mouse motion.
// The page does the same through its own event handlers (keys, the mouse under pointer
// lock): it tries every number of frames the up arrow can have been held until its own
// walk ends exactly where the player's did, then turns by DX, and before each picture steps
// further frames until every object stands exactly as in the player's picture (the demo's
// pyramid turns in every frame). Each picture is written as OUTDIR/page_NAME.png with the
// page's state as OUTDIR/page_NAME.state (the probe's format), so the test compares both.
// The camera must reach the player's bit for bit, or the run fails.
import { writeFile } from 'node:fs/promises';
import { readFileSync } from 'node:fs';
import { launchBrowser, openPage, serveFolder } from './browser.mjs';

const [folder, outDir, startFile, walkFile, turnFile, dxText] = process.argv.slice(2);
if (!startFile || (walkFile && !dxText)) {
  console.error('usage: node page_views.mjs FOLDER OUTDIR START.state [WALK.state TURN.state DX]');
  process.exit(2);
}
const MAX_WALK_FRAMES = 200;
const MAX_SETTLE_FRAMES = 400;
const f32 = Math.fround;

// The probe's text: camera, objects (pose, material), texture turns
function readState(file) {
  const state = { camera: null, objects: {}, turns: {} };
  for (const line of readFileSync(file, 'utf8').split('\n')) {
    const words = line.split(' ').filter((w) => w !== '');
    if (words[0] === 'camera') state.camera = words.slice(1, 7).map(Number).map(f32);
    if (words[0] === 'object') state.objects[words[1]] = { pose: words.slice(2, 8).map(Number).map(f32), material: words.slice(8).join(' ') };
    if (words[0] === 'turn') state.turns[words[1]] = words.slice(2, 5).map(Number).map(f32);
  }
  return state;
}

// The page's state in the probe's format
function stateText(s) {
  const n = (v) => String(f32(v));
  const lines = [`camera ${s.camera.map(n).join(' ')}`];
  for (const [slot, pose] of Object.entries(s.poses)) lines.push(`object ${slot} ${pose.map(n).join(' ')} ${s.materials[slot] ?? ''}`);
  for (const [name, turn] of Object.entries(s.turns)) lines.push(`turn ${name} ${turn.map(n).join(' ')}`);
  return lines.join('\n') + '\n';
}

const same = (a, b) => a.length === b.length && a.every((v, i) => f32(v) === f32(b[i]));
const sameObjects = (s, target) => Object.entries(target.objects).every(([slot, o]) =>
  same(s.poses[slot] ?? [], o.pose) && (s.materials[slot] ?? '') === o.material) &&
  Object.entries(target.turns).every(([name, turn]) => same(s.turns[name] ?? [], turn));

const server = await serveFolder(folder);
const { browser, close } = await launchBrowser();
let failed = '';
try {
  const { page, errors } = await openPage(browser, server.origin, '?test&clock=0', 'test');
  const hooks = (code, ...args) => page.evaluate(code, ...args);
  const frames = (n, draw = false) => hooks((k, d) => window.stageworksTest.frames(k, d), n, draw);
  const restAfterRelease = async () => {
    // the camera glides to a stop: speed 5.5 falls by 0.3 a frame
    let before = await frames(1);
    for (let i = 0; i < 40; i++) {
      const after = await frames(1);
      if (same(after.camera, before.camera)) return after;
      before = after;
    }
    return before;
  };
  const walk = async (held) => {
    await hooks(() => window.stageworksTest.restart());
    await page.keyboard.down('ArrowUp');
    await frames(held);
    await page.keyboard.up('ArrowUp');
    return restAfterRelease();
  };
  const settle = async (target, name) => {
    let s = await frames(0);
    for (let i = 0; i < MAX_SETTLE_FRAMES && !sameObjects(s, target); i++) s = await frames(1);
    if (!sameObjects(s, target)) failed += `${name}: the objects never stood as in the player's picture\n`;
    if (!same(s.camera, target.camera)) failed += `${name}: camera ${s.camera} is not the player's ${target.camera}\n`;
    await hooks(() => window.stageworksTest.draw());
    await page.screenshot({ path: `${outDir}/page_${name}.png` });
    await writeFile(`${outDir}/page_${name}.state`, stateText(s));
  };

  // The start view
  const start = readState(startFile);
  await settle(start, 'start');

  if (walkFile) {
    // Walking forward: the number of frames the player's arrow was held
    const walked = readState(walkFile);
    let held = 0;
    for (let n = 1; n <= MAX_WALK_FRAMES && held === 0; n++) {
      const s = await walk(n);
      if (same(s.camera, walked.camera)) held = n;
    }
    if (held === 0) failed += `walk: no number of frames up to ${MAX_WALK_FRAMES} ends at the player's camera\n`;
    else console.log(`walk: the player's walk is the up arrow held for ${held} frames`);
    await settle(walked, 'walk');

    // Turning: the mouse moved DX pixels under pointer lock
    const turned = readState(turnFile);
    await page.mouse.move(512, 384);
    await page.mouse.click(512, 384);
    await page.waitForFunction(() => document.pointerLockElement !== null, { timeout: 10000 });
    await page.mouse.move(512 + Number(dxText), 384);
    await settle(turned, 'turn');
  }
  if (errors.length > 0) failed += `page errors: ${errors.join('; ')}\n`;
} catch (error) {
  failed += `${error.stack ?? error}\n`;
} finally {
  await close();
  await server.close();
}
if (failed) {
  console.error(failed);
  process.exit(1);
}
console.log(`page_views: ${walkFile ? 'three pictures' : 'the start picture'} written`);
