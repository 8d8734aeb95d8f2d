/**********************************************************************************************
*
*   main - the page's start: WebGL, the loading bar, the scene, the engine, the player
*
*   Without WebGL the page says so in words instead of staying blank. Otherwise it loads the
*   folder with a bar of the bytes received, puts the scene's name in the title (as text:
*   nothing from the scene file is ever taken as markup or code), starts the compiled event
*   engine on the scene and runs the player. A test adds ?test to the address to drive the
*   frames itself (see test_hooks); ?clock=MS fixes the animation clock and the sun.
*
*   DEPENDENCIES: loader, renderer, hud, scene_state, input, player, test_hooks, engine
*
**********************************************************************************************/
import { createEngine } from './engine.mjs';
import { Hud } from './hud.mjs';
import { attachInput } from './input.mjs';
import { loadFolder } from './loader.mjs';
import { Player } from './player.mjs';
import { Renderer } from './renderer.mjs';
import { SceneState } from './scene_state.mjs';
import { exposeTestHooks } from './test_hooks.mjs';

const $ = (id) => document.getElementById(id);

// Shows a message over the page (as text) and hides the loading bar
function showMessage(text) {
  $('loading').hidden = true;
  $('message-text').textContent = text;
  $('message').hidden = false;
}

// The WebGL context the picture is drawn in, or null. NOTE: only a test, which reads the
// picture back between frames, has it kept (that costs a copy per frame)
function makeContext(canvas, keepPicture) {
  const options = { alpha: false, antialias: false, depth: true, stencil: false, preserveDrawingBuffer: keepPicture,
    premultipliedAlpha: false };
  const gl2 = canvas.getContext('webgl2', options);
  if (gl2) return gl2;
  const gl = canvas.getContext('webgl', options);
  // NOTE: the geometry's indices are 32-bit
  if (gl && gl.getExtension('OES_element_index_uint')) return gl;
  return null;
}

async function start() {
  const params = new URLSearchParams(window.location.search);
  const canvas = $('view');
  const gl = makeContext(canvas, params.has('test'));
  if (!gl) {
    showMessage('Este navegador no puede mostrar la escena: WebGL no está disponible o está desactivado. '
      + 'Pruebe con otro navegador o active la aceleración gráfica.');
    document.body.dataset.state = 'no-webgl';
    return;
  }
  const bar = $('progress');
  const data = await loadFolder((received, total) => {
    bar.max = Math.max(1, total);
    bar.value = received;
    $('progress-text').textContent = total > 0 ? `${Math.floor(100 * received / total)} %` : '';
  });
  const name = String(data.scene.name ?? '');
  document.title = name !== '' ? `${name} - stageworks` : 'stageworks';
  $('scene-name').textContent = name;

  const engine = await createEngine();
  engine.load(data.scene);
  engine.startPlay();
  const state = new SceneState(data.scene);
  const renderer = new Renderer(gl, data);
  const hud = new Hud(renderer, data.font);
  const clock = params.get('clock');
  const fixedClock = clock !== null && /^\d+$/.test(clock) ? Number(clock) : null;
  const player = new Player({ engine, data, state, renderer, hud, canvas, fixedClock });

  attachInput(canvas, {
    key: (code, pressed) => engine.key(code, pressed),
    look: (dx, dy) => engine.mouseLook(dx, dy),
    activate: () => player.requestPick(),
    character: (code) => player.character(code),
    lockChanged: (locked) => {
      document.body.dataset.locked = locked ? 'yes' : 'no';
    },
  });
  $('fullscreen').addEventListener('click', () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen?.().catch(() => {});
  });
  $('loading').hidden = true;
  document.body.dataset.state = 'running';
  // the frames shown so far, for anyone measuring the page (bench/web_page.mjs)
  window.stageworksFrames = () => player.frames;
  if (params.has('test')) exposeTestHooks(player);
  else player.run();
}

start().catch((error) => {
  showMessage(`No se pudo cargar la escena: ${error && error.message ? error.message : error}`);
  document.body.dataset.state = 'failed';
});
