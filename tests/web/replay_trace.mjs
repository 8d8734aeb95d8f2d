// The trace suite's replay in the browser's engine, shared by node (replay.mjs) and Chromium
// (replay_in_chromium.mjs): play starts, then per step the keys, the pointer, a placed eye and
// one frame with its click; the engine's state after play starts and after every step.
export function replayTrace(engine, scene, trace) {
  const states = [];
  const dump = () => states.push(engine.stateText());
  engine.load(scene);
  engine.startPlay();
  dump();
  for (const step of trace.steps) {
    for (const [code, pressed] of step.keys) engine.key(code, pressed === 1);
    for (const code of step.chars) engine.character(code);
    if (step.look) engine.mouseLook(step.look[0], step.look[1]);
    if (step.camera) engine.setCamera(step.camera);
    engine.frame(step.click ?? -1);
    if (step.stop) engine.stopPlay();
    dump();
  }
  return states;
}
