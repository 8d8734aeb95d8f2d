// The page's own modules under node, without a browser: the material usage table's order as
// materials change in play, the texture animation's frames on the clock, the 4:3 picture in
// a window of any shape, and picking at the crosshair as OpenGL's selection finds it (the
// play pick's reach, culled back faces, the nearer of two objects, the face group's name).
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { pickAt, pickProjection } from '../../web/player/picking.mjs';
import { viewMatrix } from '../../web/player/matrix.mjs';
import { pictureRect } from '../../web/player/renderer.mjs';
import { SceneState } from '../../web/player/scene_state.mjs';

// A scene of square plates facing +Z (clockwise seen from the front) at the given poses
function plates(poses, { cull = true, groups = [[0, 3]] } = {}) {
  const vertices = [];
  const indices = [];
  const objects = poses.map((pose, slot) => {
    const firstVertex = vertices.length / 8;
    const firstIndex = indices.length;
    for (const [x, y] of [[-1, 1], [1, 1], [1, -1], [-1, -1]]) vertices.push(x, y, 0, 0, 0, 1, 0, 0);
    indices.push(0, 1, 3, 1, 2, 3);
    return { slot, firstVertex, vertexCount: 4, firstIndex, wireFrame: false, groups,
      parts: [{ first: 0, count: 6, lines: false, cull }] };
  });
  const scene = {
    objects: poses.map((pose, slot) => ({ slot, nameBase: 100000 * (slot + 1), pose, materials: ['m'], events: [{}] })),
    render: { materials: [{ name: 'm', textured: false }], usage: [{ name: 'm', material: 0, users: poses.map((_, i) => i) }],
      objects },
  };
  return { state: new SceneState(scene), geometry: { vertices: new Float32Array(vertices), indices: new Uint32Array(indices),
    planes: new Float32Array(0) } };
}

// The player at the origin looking down -Z, its pick for the crosshair
const camera = [0, 30, 0, 0, 0, 0];
const pick = ({ state, geometry }) => pickAt(state, geometry, pickProjection(45, Math.fround(4 / 3), 0.1, 150),
  viewMatrix(camera));

test('a plate at the crosshair is hit with its name; one beyond the play reach of 150 is not', () => {
  const near = pick(plates([[0, 30, -100, 0, 0, 0]], { groups: [[0, 4]] }));
  assert.ok(near);
  assert.equal(near.slot, 0);
  assert.equal(near.name, 100000 + 10000 * 5);
  assert.equal(pick(plates([[0, 30, -160, 0, 0, 0]])), null);
  assert.equal(pick(plates([[5, 30, -100, 0, 0, 0]])), null, 'a plate beside the crosshair');
});

test('a plate turned away is not hit where the editor culls it, and is where it does not', () => {
  const away = [[0, 30, -50, 180, 0, 0]];
  assert.equal(pick(plates(away)), null);
  assert.equal(pick(plates(away, { cull: false })).slot, 0);
});

test('of two plates under the crosshair the nearer is hit, whatever the drawing order', () => {
  assert.equal(pick(plates([[0, 30, -80, 0, 0, 0], [0, 30, -40, 0, 0, 0]])).slot, 1);
  assert.equal(pick(plates([[0, 30, -40, 0, 0, 0], [0, 30, -80, 0, 0, 0]])).slot, 0);
});

test('a material change moves the object to the end of its new material\'s list, as the editor draws', () => {
  const sceneWith = (names) => ({
    objects: [0, 1, 2].map((slot) => ({ slot, pose: [0, 0, 0, 0, 0, 0], materials: [slot === 2 ? 'b' : 'a'] })),
    render: {
      materials: names.map((name) => ({ name })),
      usage: names.map((name, i) => ({ name, material: i, users: name === 'a' ? [0, 1] : name === 'b' ? [2] : [] })),
      objects: [0, 1, 2].map((slot) => ({ slot, parts: [] })),
    },
  });
  const state = new SceneState(sceneWith(['a', '(default)', 'b']));
  state.assignMaterial(0, 'b');
  assert.deepEqual(state.usage.map((e) => e.users), [[1], [], [2, 0]]);
  state.assignMaterial(2, 'missing');   // a name no entry carries: the default material's entry
  assert.deepEqual(state.usage.map((e) => e.users), [[1], [2], [0]]);
  state.assignMaterial(2, 'missing');
  assert.deepEqual(state.usage.map((e) => e.users), [[1], [2], [0]]);
  state.assignMaterial(2, 'a');
  assert.deepEqual(state.usage.map((e) => e.users), [[1, 2], [], [0]]);
  // without a default material: entry 0
  const bare = new SceneState(sceneWith(['a', 'b']));
  bare.assignMaterial(2, 'missing');
  assert.deepEqual(bare.usage.map((e) => e.users), [[0, 1, 2], []]);
});

test('an animated texture shows its frames in turn on the clock; a still one its only frame', () => {
  const state = new SceneState({ objects: [], render: { materials: [], usage: [], objects: [] } });
  const water = { textured: true, frames: [7, 8, 9], multiple: 4, milTime: 500, currentFrame: 0, lastSwitch: 0 };
  const shown = [0, 400, 501, 900, 1002, 1503, 2004, 2005].map((now) => state.frameIndex(water, now));
  assert.deepEqual(shown, [0, 0, 0, 0, 1, 2, 0, 0]);
  const still = { textured: true, frames: [3], multiple: 0, milTime: 0, currentFrame: 0, lastSwitch: 0 };
  assert.equal(state.frameIndex(still, 99999), 0);
  assert.equal(state.frameIndex({ textured: true, frames: [], multiple: 1 }, 5), -1);
});

test('the picture keeps its 4:3 shape, centred in a window of any shape', () => {
  assert.deepEqual(pictureRect(1024, 768), { x: 0, y: 0, width: 1024, height: 768 });
  assert.deepEqual(pictureRect(1400, 700), { x: 233, y: 0, width: 933, height: 700 });
  assert.deepEqual(pictureRect(800, 800), { x: 0, y: 100, width: 800, height: 600 });
  assert.deepEqual(pictureRect(0, 0), { x: 0, y: 0, width: 1, height: 1 });
});
