/**********************************************************************************************
*
*   test_hooks - the page under a test's control (only with ?test in the address)
*
*   The animation loop does not run: a test runs frames itself and reads what they did, so
*   that it can bring the page to the very state another program reached. Input still comes
*   through the page's own event handlers (keys, the mouse under pointer lock, touch).
*     window.stageworksTest.frames(n, draw)  n frames (the picture drawn in the last one only
*                                            unless draw is 'all'; none with draw false)
*     window.stageworksTest.draw()           the picture of the present state, no step
*     window.stageworksTest.state()          camera, speeds, poses, materials, texture turns,
*                                            last hit, field of view, sun, HUD
*     window.stageworksTest.restart()        the scene loaded and play started again
*
*   DEPENDENCIES: player, scene_state
*
**********************************************************************************************/
import { SceneState } from './scene_state.mjs';

export function exposeTestHooks(player) {
  const frameMs = player.render.frameMinMs;
  const hooks = {
    frames(n, draw = true) {
      for (let i = 0; i < n; i++) player.frame(frameMs, draw === 'all' || (draw && i === n - 1));
      return hooks.state();
    },
    draw() {
      player.fitCanvas();
      player.renderer.drawFrame(player.state, {
        camera: player.engine.camera(), fieldOfView: player.fieldOfView, sunAngle: player.sunAngle,
        now: player.clock(), width: player.canvas.width, height: player.canvas.height,
      });
      return true;
    },
    state() {
      const s = player.state;
      const poses = {};
      const materials = {};
      for (const slot of s.slots) {
        poses[slot] = Array.from(s.poses.get(slot) ?? []);
        materials[slot] = s.materialOf.get(slot) ?? null;
      }
      const turns = {};
      for (const m of s.materials) if (m.textured) turns[m.name] = [...m.turn];
      return {
        camera: Array.from(player.engine.camera()),
        poses, materials, turns, lastHit: player.lastHit, fieldOfView: player.fieldOfView,
        sunAngle: player.sunAngle, hudVisible: player.hudVisible, frames: player.frames,
        usage: s.usage.map((e) => [...e.users]),
      };
    },
    restart() {
      player.engine.load(player.data.scene);
      player.engine.startPlay();
      player.state = new SceneState(player.data.scene);
      return hooks.state();
    },
  };
  window.stageworksTest = hooks;
  document.body.dataset.test = 'ready';
}
