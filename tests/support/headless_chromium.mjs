/**********************************************************************************************
*
*   headless_chromium - Chromium for the browser tests: headless, without a display, and
*   gone with the test
*
*   launchChromium() starts Debian's chromium headless with software WebGL (SwiftShader) and
*   a fresh profile. DISPLAY and WAYLAND_DISPLAY are taken out of its environment: with DISPLAY
*   naming an X server that is gone, a headless Chromium still tries it and hangs. It runs in
*   a process group of its own under a small shell that holds a pipe from this process: when
*   the pipe closes (close(), the end of this process, or this process killed, as by ctest's
*   time-out) the shell kills the whole group, browser and helpers alike, so nothing is left
*   behind.
*
*   const browser = await launchChromium({ args: [url], devtools: true });
*   browser.wsEndpoint   // with devtools: for puppeteer-core's connect({ browserWSEndpoint })
*   browser.exited       // a promise of the exit status
*   browser.output()     // what the browser wrote on stderr so far
*   await browser.close();
*
*   DEPENDENCIES: node (child_process, fs), chromium (CHROMIUM names another binary)
*
**********************************************************************************************/
import { spawn } from 'node:child_process';
import { mkdtemp, rm } from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// Headless with software WebGL, quiet, nothing fetched behind the test's back
export const CHROMIUM_FLAGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
  '--ozone-platform=headless', '--disable-quic', '--no-first-run', '--no-default-browser-check',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-extensions',
  '--hide-scrollbars', '--window-size=1024,768',
];

// NOTE: the shell runs the browser with its arguments and a watch that waits for the shell's
// input to end (the pipe from this process) and then kills the whole process group. The pipe
// reaches the watch as descriptor 3: a background command's own input is /dev/null. When the
// browser ends by itself, the shell ends the watch and leaves with the browser's status
const WATCHDOG = [
  'exec 3<&0',
  '"$@" </dev/null 3<&- & browser=$!',
  '(read -r _ <&3; kill -KILL 0) & watch=$!',
  'exec 3<&-',
  'wait "$browser"; status=$?',
  'kill -KILL "$watch" 2>/dev/null',
  'exit "$status"',
].join('\n');

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
const running = new Set();   // process group ids of the browsers not closed yet

// NOTE: a test that ends without close() still takes its browsers with it
process.on('exit', () => {
  for (const group of running) {
    try { process.kill(-group, 'SIGKILL'); } catch { /* already gone */ }
  }
});

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The environment without a display
function headlessEnvironment() {
  const env = { ...process.env };
  delete env.DISPLAY;
  delete env.WAYLAND_DISPLAY;
  return env;
}

// True while any process of the group lives
function groupAlive(group) {
  try {
    process.kill(-group, 0);
    return true;
  } catch {
    return false;
  }
}

// Resolves once the group is gone, or after timeoutMs (then false)
async function groupGone(group, timeoutMs) {
  const end = Date.now() + timeoutMs;
  while (groupAlive(group)) {
    if (Date.now() > end) return false;
    await new Promise((resolve) => { setTimeout(resolve, 20); });
  }
  return true;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Starts the browser. options: args (more flags and the URLs), devtools (true: waits for the
// DevTools endpoint, for puppeteer-core), timeoutMs (for that wait, default 60 s), binary
// (default $CHROMIUM or chromium)
export async function launchChromium(options = {}) {
  const { args = [], devtools = false, timeoutMs = 60000 } = options;
  const binary = options.binary ?? process.env.CHROMIUM ?? 'chromium';
  const profile = await mkdtemp(path.join(os.tmpdir(), 'headless-chromium-'));
  const flags = [...CHROMIUM_FLAGS, `--user-data-dir=${profile}`];
  if (devtools) flags.push('--remote-debugging-port=0');
  const child = spawn('/bin/sh', ['-c', WATCHDOG, 'sh', binary, ...flags, ...args], {
    detached: true, stdio: ['pipe', 'ignore', 'pipe'], env: headlessEnvironment(),
  });
  const group = child.pid;
  running.add(group);

  let output = '';
  child.stderr.on('data', (chunk) => { output += chunk; });
  // NOTE: the pipe is the watchdog's lifeline; an error on it only means the group is ending
  child.stdin.on('error', () => {});
  const exited = new Promise((resolve) => { child.on('exit', (status) => resolve(status)); });

  let closed = false;
  const close = async () => {
    if (closed) return;
    closed = true;
    child.stdin.end();
    // NOTE: the watch ends the group at once; should it not, the group is killed from here
    if (!(await groupGone(group, 5000))) {
      try { process.kill(-group, 'SIGKILL'); } catch { /* gone meanwhile */ }
      await groupGone(group, 5000);
    }
    await exited;
    running.delete(group);
    await rm(profile, { recursive: true, force: true });
  };

  let wsEndpoint = null;
  if (devtools) {
    wsEndpoint = await new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error(`no DevTools endpoint within ${timeoutMs} ms\n${output}`)), timeoutMs);
      const look = () => {
        const found = /DevTools listening on (ws:\/\/\S+)/.exec(output);
        if (found) {
          clearTimeout(timer);
          child.stderr.off('data', look);
          resolve(found[1]);
        }
      };
      child.stderr.on('data', look);
      exited.then((status) => {
        clearTimeout(timer);
        reject(new Error(`chromium ended (status ${status}) before its DevTools endpoint\n${output}`));
      });
      look();
    }).catch(async (error) => {
      await close();
      throw error;
    });
  }

  return { pid: group, wsEndpoint, exited, output: () => output, close };
}
