/**********************************************************************************************
*
*   input - the player's keys, the mouse and touch, turned into the player's actions
*
*   Keys as in 'stageworks --play': the arrows walk (held: pressed and released), A and S
*   narrow and widen the field of view, F flies, I inverts the mouse, L shows the HUD; a key
*   held down acts once (the editor turns key repeat off). Typed characters go apart from the
*   arrows, as GLUT gives them: a press only, by their code (so "d" and "g", which share
*   their codes with the arrows, press an arrow as in the player). The mouse looks around once the
*   pointer is locked to the page by a click (Escape gives it back, as browsers require);
*   while it is locked either button activates the object at the crosshair. On a touch
*   screen one finger dragged looks, two fingers dragged walk (up and down: forward and back,
*   sideways: to the side) and a tap activates.
*
*   DEPENDENCIES: none (DOM events); actions come from the player
*
**********************************************************************************************/

// The player's arrow codes: left, up, right, down
export const ARROWS = { ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103 };

const TAP_MOVE = 10;        // a touch that moved less (pixels) is a tap
const TAP_MS = 400;         // ... and lasted less
const WALK_THRESHOLD = 24;  // a two-finger drag this far (pixels) holds a walking key

// Wires the events of the canvas and the document to actions:
//   key(code, pressed), look(dx, dy), activate(), character(code), lockChanged(locked)
export function attachInput(canvas, actions) {
  const held = new Set();
  const release = (code) => {
    if (held.delete(code)) actions.key(code, false);
  };
  const press = (code) => {
    if (held.has(code)) return;
    held.add(code);
    actions.key(code, true);
  };
  const locked = () => document.pointerLockElement === canvas;

  document.addEventListener('keydown', (e) => {
    if (e.ctrlKey || e.altKey || e.metaKey) return;
    const arrow = ARROWS[e.key];
    if (arrow !== undefined) {
      e.preventDefault();
      press(arrow);
      return;
    }
    if (e.repeat || e.key.length !== 1) return;
    // NOTE: GLUT hands over a character as one byte; other characters mean nothing to the player
    const code = e.key.charCodeAt(0);
    if (code < 256) actions.character(code);
  });
  document.addEventListener('keyup', (e) => {
    const arrow = ARROWS[e.key];
    if (arrow !== undefined) release(arrow);
  });
  // nothing stays held when the page loses the keyboard
  window.addEventListener('blur', () => [...held].forEach(release));

  canvas.addEventListener('mousedown', (e) => {
    if (!locked()) {
      const request = canvas.requestPointerLock();
      if (request && request.catch) request.catch(() => {});
      return;
    }
    if (e.button === 0 || e.button === 2) actions.activate();
  });
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  document.addEventListener('mousemove', (e) => {
    if (locked() && (e.movementX !== 0 || e.movementY !== 0)) actions.look(e.movementX, e.movementY);
  });
  document.addEventListener('pointerlockchange', () => actions.lockChanged(locked()));

  // Touch: one finger looks, two walk, a tap activates
  let touch = null;
  const walkKeys = (dx, dy) => {
    const want = new Set();
    if (dy < -WALK_THRESHOLD) want.add(ARROWS.ArrowUp);
    if (dy > WALK_THRESHOLD) want.add(ARROWS.ArrowDown);
    if (dx < -WALK_THRESHOLD) want.add(ARROWS.ArrowLeft);
    if (dx > WALK_THRESHOLD) want.add(ARROWS.ArrowRight);
    for (const code of Object.values(ARROWS)) (want.has(code) ? press : release)(code);
  };
  const centre = (list) => {
    let x = 0, y = 0;
    for (const t of list) {
      x += t.clientX;
      y += t.clientY;
    }
    return [x / list.length, y / list.length];
  };
  canvas.addEventListener('touchstart', (e) => {
    e.preventDefault();
    const [x, y] = centre(e.touches);
    touch = { fingers: e.touches.length, x0: x, y0: y, x, y, start: performance.now(), moved: 0 };
    if (e.touches.length !== 2) walkKeys(0, 0);
  }, { passive: false });
  canvas.addEventListener('touchmove', (e) => {
    e.preventDefault();
    if (!touch) return;
    const [x, y] = centre(e.touches);
    touch.moved = Math.max(touch.moved, Math.hypot(x - touch.x0, y - touch.y0));
    if (e.touches.length === 1 && touch.fingers === 1) actions.look(Math.round(x - touch.x), Math.round(y - touch.y));
    if (e.touches.length === 2) walkKeys(x - touch.x0, y - touch.y0);
    touch.x = x;
    touch.y = y;
  }, { passive: false });
  canvas.addEventListener('touchend', (e) => {
    e.preventDefault();
    if (!touch) return;
    if (e.touches.length === 0) {
      const tap = touch.fingers === 1 && touch.moved < TAP_MOVE && performance.now() - touch.start < TAP_MS;
      walkKeys(0, 0);
      touch = null;
      if (tap) actions.activate();
    }
  }, { passive: false });
  canvas.addEventListener('touchcancel', () => {
    walkKeys(0, 0);
    touch = null;
  });
}
