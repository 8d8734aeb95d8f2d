// Checks of the published page in headless Chromium, one per command:
//   node page_checks.mjs events FOLDER       the demo: a click at the crosshair on the door
//                                            runs its event (the door turns, the dome turns
//                                            gold); walking up to the round sign starts its
//                                            distance event (it turns green and rises)
//   node page_checks.mjs names FOLDER TITLE  a scene with hostile names: the title is TITLE
//                                            as text, no markup or code of the names ran
//   node page_checks.mjs controls FOLDER     the letter keys (zoom, fly, HUD), touch (a drag
//                                            looks, two fingers walk, a tap activates) and
//                                            the 4:3 picture letterboxed in a wide window
//   node page_checks.mjs nowebgl FOLDER      without WebGL the page says so in words, and
//                                            opened as a file it says it wants a server
//   node page_checks.mjs offline FOLDER      with nothing reachable but the folder's server
//                                            the page loads and draws, and every request it
//                                            made was for a file of the folder
// Exit status 0 when every check holds; the reasons otherwise.
import { access, readFile } from 'node:fs/promises';
import path from 'node:path';
import { launchBrowser, openPage, serveFolder } from './browser.mjs';

const [command, folder, expectedTitle] = process.argv.slice(2);
const problems = [];
const check = (ok, text) => {
  if (!ok) problems.push(text);
};

// The demo's objects by slot: the door, the dome beside it and the round sign far ahead
const DOOR = 25, DOME = 27, SIGN = 28;

// Where the mouse is: under pointer lock only its motion counts, so it is never moved back
const mouse = { x: 512, y: 384 };

// Mouse motion (under pointer lock) that turns the camera to look at a world point
async function lookAt(page, target) {
  const s = await page.evaluate(() => window.stageworksTest.state());
  const [x, y, z, yaw, pitch] = s.camera;
  const dx = target[0] - x, dy = target[1] - y, dz = target[2] - z;
  const wantYaw = (Math.atan2(-dx, -dz) * 180 / Math.PI + 360) % 360;
  const wantPitch = Math.atan2(dy, Math.hypot(dx, dz)) * 180 / Math.PI;
  let turn = wantYaw - yaw;
  if (turn > 180) turn -= 360;
  if (turn < -180) turn += 360;
  // the player turns by -0.06 degrees per pixel
  mouse.x += Math.round(turn / -0.06);
  mouse.y += Math.round((wantPitch - pitch) / -0.06);
  await page.mouse.move(mouse.x, mouse.y);
}

async function lockPointer(page) {
  await page.mouse.move(512, 384);
  await page.mouse.click(512, 384);
  await page.waitForFunction(() => document.pointerLockElement !== null, { timeout: 10000 });
}

async function events(browser, origin) {
  const { page, errors } = await openPage(browser, origin, '?test&clock=0', 'test');
  const frames = (n, draw = false) => page.evaluate((k, d) => window.stageworksTest.frames(k, d), n, draw);
  const start = await frames(1, true);
  await lockPointer(page);
  // the door is 115 units away: within the 150 a click in play reaches
  await lookAt(page, [start.poses[DOOR][0], start.poses[DOOR][1], start.poses[DOOR][2]]);
  const before = await frames(1, true);
  const pictureBefore = await page.screenshot();
  // a click where the mouse is: under pointer lock that is the crosshair
  await page.mouse.down();
  await page.mouse.up();
  const clicked = await frames(1);
  check(Math.floor(clicked.lastHit / 100000) === DOOR + 1, `the click hit ${clicked.lastHit}, not the door`);
  const opened = await frames(60, true);
  check(Math.abs(opened.poses[DOOR][3] - before.poses[DOOR][3]) > 45, `the door did not turn: yaw ${before.poses[DOOR][3]} -> ${opened.poses[DOOR][3]}`);
  check(opened.materials[DOME] === 'dorado', `the dome is ${opened.materials[DOME]}, not gold, after the door opened`);
  const pictureAfter = await page.screenshot();
  check(Buffer.compare(pictureBefore, pictureAfter) !== 0, 'the picture did not change when the door opened');

  // Walking up to the sign: its distance event starts within 120 units
  check(opened.materials[SIGN] === 'azul', `the sign is ${opened.materials[SIGN]} before the walk`);
  const signAt = opened.poses[SIGN];
  await lookAt(page, [signAt[0], 30, signAt[2]]);
  await page.keyboard.down('ArrowUp');
  let s = await frames(1);
  for (let i = 0; i < 400 && s.materials[SIGN] !== 'verde'; i++) s = await frames(1);
  await page.keyboard.up('ArrowUp');
  const distance = Math.hypot(s.camera[0] - signAt[0], s.camera[1] - signAt[1], s.camera[2] - signAt[2]);
  check(s.materials[SIGN] === 'verde', 'walking up to the sign did not start its event');
  check(distance < 120 && distance > 110, `the sign's event started ${distance} units away, not on coming within 120`);
  const risen = await frames(30, true);
  check(risen.poses[SIGN][1] > signAt[1] + 5, `the sign did not rise: ${signAt[1]} -> ${risen.poses[SIGN][1]}`);
  check(errors.length === 0, `page errors: ${errors.join('; ')}`);
}

// Touch points through the DevTools protocol (type: touchStart, touchMove, touchEnd)
async function touch(client, type, points) {
  await client.send('Input.dispatchTouchEvent', { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
}

async function controls(browser, origin) {
  const { page, errors } = await openPage(browser, origin, '?test&clock=0', 'test');
  const frames = (n, draw = false) => page.evaluate((k, d) => window.stageworksTest.frames(k, d), n, draw);
  const start = await frames(1, true);
  const plain = await page.screenshot();

  // L shows the HUD (text over the picture), A and S zoom, F flies (the up arrow then climbs)
  await page.keyboard.press('l');
  const withHud = await frames(1, true);
  check(withHud.hudVisible === true, 'L did not show the HUD');
  check(Buffer.compare(plain, await page.screenshot()) !== 0, 'the HUD drew nothing');
  await page.keyboard.press('l');
  await page.keyboard.press('a');
  await page.keyboard.press('a');
  check((await frames(1)).fieldOfView === start.fieldOfView - 2, 'A did not narrow the field of view');
  await page.keyboard.press('s');
  check((await frames(1)).fieldOfView === start.fieldOfView - 1, 'S did not widen the field of view');
  await page.keyboard.press('f');
  const client = await page.createCDPSession();

  // one finger dragged to the right turns to the right; a tap at the centre activates what is there
  const before = await frames(1);
  await touch(client, 'touchStart', [[500, 400]]);
  await touch(client, 'touchMove', [[560, 400]]);
  await touch(client, 'touchEnd', []);
  const looked = await frames(1);
  check(Math.abs(looked.camera[3] - (before.camera[3] - 60 * 0.06)) < 0.01, `a drag of 60 pixels turned from ${before.camera[3]} to ${looked.camera[3]}`);
  // two fingers dragged up walk forward while they are held: flying, looking a little down,
  // the walk goes down too
  await touch(client, 'touchStart', [[400, 500], [600, 500]]);
  await touch(client, 'touchMove', [[400, 420], [600, 420]]);
  const walking = await frames(10);
  await touch(client, 'touchEnd', []);
  const walked = await frames(30);
  const moved = Math.hypot(walked.camera[0] - looked.camera[0], walked.camera[2] - looked.camera[2]);
  check(moved > 5, `two fingers walked only ${moved} units`);
  check(walked.camera[1] < looked.camera[1] - 1, `flying down the view, the height went from ${looked.camera[1]} to ${walked.camera[1]}`);
  check(walking.camera[3] === looked.camera[3], 'walking turned the camera');
  await page.keyboard.press('f');
  check((await frames(1)).camera[1] === 30, 'F again did not bring the viewer back to the ground');
  await touch(client, 'touchStart', [[512, 384]]);
  await touch(client, 'touchEnd', []);
  const tapped = await frames(1);
  check(tapped.lastHit !== start.lastHit, 'a tap picked nothing at the crosshair');

  // a wide window: the 4:3 picture in the middle, the editor's clear colour beside it
  await page.setViewport({ width: 1400, height: 700 });
  await frames(1, true);
  const side = await page.evaluate(() => {
    const gl = document.getElementById('view').getContext('webgl2') ?? document.getElementById('view').getContext('webgl');
    const px = new Uint8Array(4);
    gl.readPixels(20, 350, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, px);
    return Array.from(px.slice(0, 3));
  });
  check(side[0] === 0 && Math.abs(side[1] - 128) <= 1 && Math.abs(side[2] - 191) <= 1, `beside the picture: ${side}`);
  check(errors.length === 0, `page errors: ${errors.join('; ')}`);
}

async function names(browser, origin) {
  const { page, errors } = await openPage(browser, origin, '?clock=0');
  const dialogs = [];
  page.on('dialog', async (dialog) => {
    dialogs.push(dialog.message());
    await dialog.dismiss();
  });
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  const seen = await page.evaluate(() => ({
    title: document.title,
    state: document.body.dataset.state,
    scripts: Array.from(document.scripts, (script) => script.getAttribute('src')),
    images: document.images.length,
    shown: document.getElementById('scene-name').textContent,
    hostile: window.hostile === undefined ? null : String(window.hostile),
  }));
  check(seen.state === 'running', `the page is ${seen.state}`);
  check(seen.title === `${expectedTitle} - stageworks`, `title ${JSON.stringify(seen.title)}`);
  check(seen.shown === expectedTitle, `the name shown is ${JSON.stringify(seen.shown)}`);
  // the page's own scripts are those its file names (each by its source); any other came from the name
  const html = await readFile(path.join(folder, 'index.html'), 'utf8');
  const own = Array.from(html.matchAll(/<script\b[^>]*\bsrc="([^"]+)"/g), (m) => m[1]);
  check(own.length > 0, 'the page file names no script');
  for (const src of own) {
    await access(path.join(folder, src)).catch(() => check(false, `the page file names a script not in the folder: ${src}`));
  }
  check(JSON.stringify(seen.scripts) === JSON.stringify(own) && seen.images === 0,
    `the name made elements: scripts ${JSON.stringify(seen.scripts)} (the page's own: ${JSON.stringify(own)}), ${seen.images} images`);
  check(seen.hostile === null && dialogs.length === 0, 'code from the scene ran');
  check(errors.length === 0, `page errors: ${errors.join('; ')}`);
}

async function noWebGl(browser, origin) {
  const { page } = await openPage(browser, origin);
  const seen = await page.evaluate(() => ({
    state: document.body.dataset.state,
    message: document.getElementById('message').hidden ? '' : document.getElementById('message-text').textContent,
  }));
  check(seen.state === 'no-webgl', `the page is ${seen.state}`);
  check(/WebGL/.test(seen.message), `the message is ${JSON.stringify(seen.message)}`);

  await page.goto(`file://${path.resolve(folder)}/index.html`);
  await page.waitForFunction(() => document.body.dataset.state === 'file', { timeout: 30000 }).catch(() => {});
  const file = await page.evaluate(() => document.getElementById('message-text').textContent);
  check(/servidor web/.test(file), `opened as a file the page says ${JSON.stringify(file)}`);
}

async function offline(browser, origin, server) {
  const { page, errors } = await openPage(browser, origin, '?clock=0');
  const urls = [];
  page.on('request', (request) => urls.push(request.url()));
  await page.reload();
  await page.waitForFunction(() => document.body.dataset.state === 'running', { timeout: 120000 });
  await page.evaluate(() => new Promise((resolve) => {
    let left = 5;
    const next = () => (--left === 0 ? resolve() : requestAnimationFrame(next));
    requestAnimationFrame(next);
  }));
  const bar = await page.evaluate(() => [document.getElementById('progress').value, document.getElementById('progress').max]);
  check(bar[1] > 1 && bar[0] === bar[1], `the loading bar stopped at ${bar[0]} of ${bar[1]}`);
  const shot = await page.screenshot({ encoding: 'base64' });
  check(shot.length > 100000, 'the page drew next to nothing');
  check(urls.length > 5, `only ${urls.length} requests`);
  for (const url of urls) {
    const u = new URL(url);
    if (u.protocol === 'data:') continue;
    check(u.origin === origin, `a request left the folder's server: ${url}`);
    const file = path.join(folder, decodeURIComponent(u.pathname === '/' ? '/index.html' : u.pathname));
    await access(file).catch(() => check(false, `a request for a file the folder does not have: ${url}`));
  }
  check(server.requests.length >= urls.length, 'the server saw fewer requests than the page made');
  check(errors.length === 0, `page errors: ${errors.join('; ')}`);
}

const server = await serveFolder(folder);
const extra = command === 'nowebgl' ? ['--disable-webgl', '--disable-3d-apis'] : [];
const { browser, close } = await launchBrowser(extra);
try {
  if (command === 'events') await events(browser, server.origin);
  else if (command === 'names') await names(browser, server.origin);
  else if (command === 'controls') await controls(browser, server.origin);
  else if (command === 'nowebgl') await noWebGl(browser, server.origin);
  else if (command === 'offline') await offline(browser, server.origin, server);
  else problems.push(`unknown command ${command}`);
} catch (error) {
  problems.push(String(error.stack ?? error));
} finally {
  await close();
  await server.close();
}
if (problems.length > 0) {
  console.error(problems.join('\n'));
  process.exit(1);
}
console.log(`page_checks ${command}: every check holds`);
