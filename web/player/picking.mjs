/**********************************************************************************************
*
*   picking - which object lies at the crosshair, as OpenGL's selection finds it in play
*
*   The editor picks with a selection pass: a 5 x 5 pixel region of the 1024 x 768 screen
*   around the pointer (the centre while looking around) and a far plane of 150 in play, so
*   only near objects can be hit. Every face group of every object drawn (in the usage
*   table's order) is a named run; a run is hit when any of its faces, clipped to the pick
*   region's frustum, keeps a piece after back faces are culled where the editor culls
*   them, and its hit depth is the smallest window depth of those pieces. The run with the
*   smallest depth wins (the earlier one on a tie); its name is the object's name base plus
*   10000 per face group, counted from 1.
*
*   DEPENDENCIES: matrix
*
**********************************************************************************************/
import * as M from './matrix.mjs';

const SCREEN = [0, 0, 1024, 768];
const PICK_REGION = 5;
const NAME_BASE_STEP = 100000;
const GROUP_STEP = 10000;
const FLOATS = 8;

// The polygon (clip-space points [x, y, z, w]) cut to -w <= x, y, z <= w
function clipPolygon(points) {
  let poly = points;
  for (let axis = 0; axis < 3 && poly.length > 0; axis++) {
    for (const sign of [1, -1]) {
      const inside = (p) => p[3] + sign * p[axis];
      const out = [];
      for (let i = 0; i < poly.length; i++) {
        const a = poly[i], b = poly[(i + 1) % poly.length];
        const da = inside(a), db = inside(b);
        if (da >= 0) out.push(a);
        if ((da >= 0) !== (db >= 0)) {
          const t = da / (da - db);
          out.push(a.map((v, k) => v + (b[k] - v) * t));
        }
      }
      poly = out;
      if (poly.length === 0) break;
    }
  }
  return poly;
}

// Smallest window depth of a clipped piece, or Infinity when nothing is left
function pieceDepth(points, lines) {
  const poly = clipPolygon(points);
  if (poly.length < (lines ? 1 : 3)) return Infinity;
  let depth = Infinity;
  for (const p of poly) depth = Math.min(depth, (p[2] / p[3]) * 0.5 + 0.5);
  return depth;
}

// True when a clipped triangle faces away (counter-clockwise on the screen: the editor's
// fronts are clockwise)
function facesAway(points) {
  const poly = clipPolygon(points);
  let area = 0;
  for (let i = 0; i < poly.length; i++) {
    const a = poly[i], b = poly[(i + 1) % poly.length];
    area += (a[0] / a[3]) * (b[1] / b[3]) - (b[0] / b[3]) * (a[1] / a[3]);
  }
  return area > 0;
}

// The projection of the pick region around the screen point (x, y) (y down), up to far
export function pickProjection(fieldOfView, aspect, near, far, x = 512, y = 384) {
  const pick = M.pickMatrix(x, SCREEN[3] - y, PICK_REGION, PICK_REGION, SCREEN);
  return M.multiply(pick, M.perspective(fieldOfView, aspect, near, far));
}

// The nearest hit among the objects drawn: { slot, name, depth }, or null.
// state: the scene state; geometry: the loaded buffers; view: the camera's view matrix
export function pickAt(state, geometry, projection, view) {
  let best = null;
  const v = geometry.vertices;
  for (const entry of state.usage) {
    for (const slot of entry.users) {
      const g = state.geometry.get(slot);
      const pose = state.poses.get(slot);
      if (!g || !pose) continue;
      const modelView = M.placeObject(view, pose);
      const mvp = M.multiply(projection, modelView);
      const eye = M.transform(M.inverseRigid(modelView), 0, 0, 0, 1);
      const clip = new Map();
      const at = (k) => {
        let p = clip.get(k);
        if (!p) {
          const o = (g.firstVertex + k) * FLOATS;
          p = M.transform(mvp, v[o], v[o + 1], v[o + 2], 1);
          clip.set(k, p);
        }
        return p;
      };
      const groups = g.groups ?? [[0, 0]];
      const depths = new Array(groups.length).fill(Infinity);
      const runOf = (index) => {
        let run = 0;
        while (run + 1 < groups.length && groups[run + 1][0] <= index) run++;
        return run;
      };
      for (const part of g.parts) {
        const step = part.lines ? 2 : 3;
        for (let i = part.first; i + step <= part.first + part.count; i += step) {
          const ks = [];
          for (let k = 0; k < step; k++) ks.push(geometry.indices[g.firstIndex + i + k]);
          const points = ks.map(at);
          if (part.cull) {
            if (part.lines) {
              const p = (g.firstPlane + ks[0]) * 4;
              const plane = geometry.planes;
              if (plane[p] * eye[0] + plane[p + 1] * eye[1] + plane[p + 2] * eye[2] + plane[p + 3] <= 0) continue;
            } else if (facesAway(points)) {
              continue;
            }
          }
          const depth = pieceDepth(points, part.lines);
          const run = runOf(i);
          if (depth < depths[run]) depths[run] = depth;
        }
      }
      depths.forEach((depth, run) => {
        if (depth === Infinity || (best && depth >= best.depth)) return;
        const base = state.nameBase.get(slot) ?? NAME_BASE_STEP * (slot + 1);
        best = { slot, depth, name: base + GROUP_STEP * (groups[run][1] + 1) };
      });
    }
  }
  return best;
}
