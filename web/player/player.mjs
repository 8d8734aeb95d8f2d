/**********************************************************************************************
*
*   player - one frame of the player, in the editor's order, at its pace
*
*   A frame: the camera update (which re-tests distance conditions), the click at the
*   crosshair made since the last frame (it may activate an object), the statistics window
*   (every 60 frames the sun turns a little), the picture, one step of the running events,
*   then the HUD. Frames run from the display's animation callback, at most one every 16 ms
*   (the editor's minimum frame time), so a scene runs at the desktop's speed. The clock of
*   texture animations counts milliseconds from the start of the page; a test may fix it (and
*   the sun) with ?clock=MS in the address.
*
*   DEPENDENCIES: matrix, renderer, hud, picking, scene_state, engine (engine.mjs)
*
**********************************************************************************************/
import { viewMatrix } from './matrix.mjs';
import { pickAt, pickProjection } from './picking.mjs';

export class Player {
  // engine: the event engine with the scene loaded; data: the loaded folder
  constructor({ engine, data, state, renderer, hud, canvas, fixedClock }) {
    Object.assign(this, { engine, data, state, renderer, hud, canvas });
    const render = data.scene.render;
    this.render = render;
    this.sunAngle = render.sun.angle;
    this.frameCounter = 0;
    this.hudVisible = false;
    this.pickPending = false;
    this.lastHit = 0;
    this.fixedClock = fixedClock;
    this.start = performance.now();
    this.lastFrame = null;
    this.frameMs = render.frameMinMs;
    this.fpsText = '';
    this.frames = 0;
  }

  // Milliseconds since the page started (the texture animations' clock)
  clock() {
    return this.fixedClock ?? Math.floor(performance.now() - this.start);
  }

  // A typed character: L (the HUD) is the page's own, the rest (zoom, fly, invert, and the
  // characters that share their codes with the arrows) the engine's
  character(code) {
    if (code === 0x4c || code === 0x6c) this.hudVisible = !this.hudVisible;
    else this.engine.character(code);
  }

  // The field of view the engine keeps (A and S change it)
  get fieldOfView() {
    return this.engine.fieldOfView();
  }

  // A click at the crosshair: carried out by the next frame
  requestPick() {
    this.pickPending = true;
  }

  // The pick of a click, after the camera update and before the events step
  carryOutPick(camera) {
    this.pickPending = false;
    const p = this.render.projection;
    const projection = pickProjection(this.fieldOfView, p.aspect, p.near, p.pickFar);
    const hit = pickAt(this.state, this.data.geometry, projection, viewMatrix(camera));
    if (!hit) return;
    this.lastHit = hit.name;
    if (this.state.hasEvents.get(hit.slot)) this.engine.activate(hit.slot);
  }

  // The size of the picture in device pixels, following the canvas's place on the page
  fitCanvas() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.round(this.canvas.clientWidth * ratio));
    const height = Math.max(1, Math.round(this.canvas.clientHeight * ratio));
    if (this.canvas.width !== width) this.canvas.width = width;
    if (this.canvas.height !== height) this.canvas.height = height;
  }

  // One frame; draw false skips the picture (tests stepping many frames at once)
  frame(elapsedMs, draw = true) {
    const engine = this.engine;
    engine.beginFrame();
    const camera = engine.camera();
    const lightsSunAngle = this.sunAngle;
    if (this.pickPending) this.carryOutPick(camera);

    this.frameCounter++;
    if (this.frameCounter >= this.render.statisticsFrames) {
      this.frameCounter = 0;
      this.hud.resetWindow();
      if (this.fixedClock === null) {
        const angle = Math.fround(this.sunAngle + this.render.sun.step);
        this.sunAngle = angle > 360 ? 0 : angle;
      }
    }
    if (draw) {
      this.fitCanvas();
      this.renderer.drawFrame(this.state, {
        camera, fieldOfView: this.fieldOfView, sunAngle: lightsSunAngle, now: this.clock(),
        width: this.canvas.width, height: this.canvas.height,
      });
    }
    this.frameMs = Math.max(this.render.frameMinMs, Math.round(elapsedMs));
    this.fpsText = `FPS: ${Math.floor(1000 / this.frameMs)} frames`;
    engine.endFrame();
    this.state.takeFromEngine(engine);
    if (draw && this.hudVisible) {
      this.hud.draw(this.hud.lines({
        fpsText: this.fpsText, objects: this.state.slots.length, camera, frameMs: this.frameMs, lastHit: this.lastHit,
      }));
    }
    this.frames++;
    // NOTE: how long the page took to its first picture (bench/web_page.mjs reads it)
    if (this.frames === 1 && draw) performance.mark('stageworks-first-frame');
  }

  // The animation loop: a frame whenever the editor's minimum frame time has passed
  run() {
    const tick = (time) => {
      requestAnimationFrame(tick);
      if (this.paused) return;
      const since = this.lastFrame === null ? this.render.frameMinMs : time - this.lastFrame;
      // NOTE: a display refresh of 60 Hz comes every 16.7 ms, give or take; a millisecond of
      // slack keeps it from skipping every other one
      if (since < this.render.frameMinMs - 1) return;
      this.lastFrame = time;
      this.frame(since);
    };
    requestAnimationFrame(tick);
  }
}
