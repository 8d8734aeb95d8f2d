// engine.mjs as the page uses it: a malformed scene.json is refused with a message naming the
// field and leaves the scene loaded before; a small scene plays (a click moves, turns and re-materials its
// object and turns a texture), changedObjects names the slot only in the frames it changes
// in, poses come back as the very floats, the keys and the pointer act as in the player, and
// stopping play puts everything back.
//   node engine_api_test.mjs ENGINE_DIR          exit 0 when every check holds
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const engineDir = path.resolve(process.argv[2] ?? '.');
const { createEngine } = await import(pathToFileURL(path.join(engineDir, 'engine.mjs')).href);
const engine = await createEngine({ wasmBinary: await readFile(path.join(engineDir, 'stageworks-engine.wasm')) });

const f = Math.fround;
const START = [-41.51, 30, 38.74, 314.22, -8.82, 0];
const part = (kind, a = 0, b = 0, c = 0, name = '') => ({ kind, a, b, c, name });
function scene() {
  return {
    name: 'prueba',
    camera: START,
    flags: [{ name: 'HECHO', value: 0 }],
    materials: [{ name: '(default)', texturado: 0 }, { name: 'rojo', texturado: 0 },
      { name: 'madera', texturado: 1, multiple: 0, frames: ['Data/madera.bmp'] }],
    objects: [
      { slot: 0, nameBase: 100000, kind: 4, pose: [0.1, 30, -7.3, 0, 0, 0], materials: ['madera'],
        events: [{ slot: 3, conditions: [part(1)],
          consequences: [part(4, 0, 0, 15), part(1, 150, 0, -25), part(2, 30, 0, 0), part(3, 0, 0, 0, 'rojo'), part(5, 1, 0, 0, 'HECHO')] }] },
      { slot: 1, nameBase: 200000, kind: 10, pose: [5, 30, 5, 0, 0, 0], materials: [], events: [] },
    ],
  };
}

// a malformed scene: refused with the field's name; the scene loaded before stays
const bad = [
  [null, /not an object/],
  [{ ...scene(), camera: [1, 2, 3, 4, 5] }, /camera does not have six numbers/],
  [{ ...scene(), objects: [{ ...scene().objects[0], kind: '4' }] }, /objects\[0\]\.kind is not an integer/],
  [{ ...scene(), objects: [{ ...scene().objects[0], kind: 12 }] }, /kind 0 to 11/],
  [{ ...scene(), objects: [{ ...scene().objects[0], events: [{ slot: 16, conditions: [part(1)], consequences: [] }] }] }, /events are numbered 0 to 15/],
  [{ ...scene(), flags: [{ name: 3, value: 0 }] }, /flags\[0\]\.name is not a text/],
  [{ ...scene(), objects: Array.from({ length: 1001 }, () => scene().objects[1]) }, /more than 1000 objects/],
];
for (const [input, message] of bad) {
  engine.load(scene());
  assert.throws(() => engine.load(input), message);
  assert.equal(engine.objectCount(), 2, `a refused scene leaves the one before (${message})`);
  assert.equal(engine.pose(0)[0], f(0.1));
}

// a scene that plays
engine.load(scene());
assert.equal(engine.objectCount(), 2);
assert.deepEqual(Array.from(engine.pose(0)), [f(0.1), 30, f(-7.3), 0, 0, 0]);
assert.equal(engine.pose(2), null);
assert.equal(engine.material(1), null);
assert.deepEqual(Array.from(engine.textureTurn('madera')), [0, 0, 0]);
assert.equal(engine.textureTurn('rojo'), null);
engine.startPlay();
assert.ok(engine.playing());
assert.deepEqual(Array.from(engine.camera()), START.map(f));

engine.frame(1);   // object 1 has no events: nothing happens
assert.deepEqual(Array.from(engine.changedObjects()), []);
engine.frame(0);   // the click runs the first link in the same frame: the texture turns
assert.deepEqual(Array.from(engine.textureTurn('madera')), [0, 0, 15]);
assert.deepEqual(Array.from(engine.changedObjects()), []);
engine.frame();
assert.deepEqual(Array.from(engine.pose(0)), [f(f(0.1) + f(1.5)), 30, f(f(-7.3) + f(-0.25)), 0, 0, 0]);
assert.deepEqual(Array.from(engine.changedObjects()), [0]);
engine.frame();
assert.equal(engine.pose(0)[3], 30);
engine.frame();
assert.equal(engine.material(0), 'rojo');
assert.deepEqual(Array.from(engine.changedObjects()), [0]);
engine.frame();
assert.deepEqual(engine.state().flags, [{ name: 'HECHO', value: 1 }]);
assert.deepEqual(engine.state().running, []);

// the keys and the pointer
engine.key(101, true);
engine.frame();
engine.key(101, false);
assert.notDeepEqual(Array.from(engine.camera()), START.map(f));
engine.mouseLook(10, 0);
assert.equal(engine.camera()[3], f(f(314.22) + f(10 * f(-0.06))));
for (const c of 'aSS') engine.character(c.charCodeAt(0));
assert.equal(engine.fieldOfView(), 46);
engine.character('f'.charCodeAt(0));   // 102, as the right arrow: the character is fly mode
assert.equal(engine.state().fly, 1);
assert.deepEqual(engine.state().keys, [0, 0, 0, 0]);
engine.character('g'.charCodeAt(0));   // 103: presses the down arrow (there is no release)
assert.deepEqual(engine.state().keys, [0, 0, 0, 1]);
engine.key(103, false);
assert.deepEqual(engine.state().keys, [0, 0, 0, 0]);

// leaving play puts the object, its material and the flag back; the texture keeps its turn
engine.stopPlay();
assert.ok(!engine.playing());
assert.deepEqual(Array.from(engine.changedObjects()), [0]);
assert.deepEqual(Array.from(engine.pose(0)), [f(0.1), 30, f(-7.3), 0, 0, 0]);
assert.equal(engine.material(0), 'madera');
assert.deepEqual(engine.state().flags, [{ name: 'HECHO', value: 0 }]);
assert.deepEqual(Array.from(engine.textureTurn('madera')), [0, 0, 15]);
console.log('engine_api: every check holds');
