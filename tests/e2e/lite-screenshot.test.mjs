// Keeps a picture of the simple edition's window as an artifact of the build,
// so a person can look at it: build/artifacts/hotkey_relay_lite.png.
import assert from 'node:assert/strict';
import path from 'node:path';
import { after, test } from 'node:test';

import { REPO, colourCount, screenshot, sleep, startEdition, stopWine } from './lib/harness.mjs';

const ARTIFACT = path.join(process.env.ARTIFACTS_DIR || path.join(REPO, 'build/artifacts'), 'hotkey_relay_lite.png');

after(stopWine);

test('the window is drawn, centred on the desktop, and kept as a picture', async () => {
  const edition = await startEdition('hotkey_relay_lite');
  try {
    await sleep(1500); // the skin and the address are drawn after the window shows
    screenshot(ARTIFACT);
    // The desktop is 1280 x 800 and the window 375 x 234, centred.
    const window = { x: 452, y: 283, width: 375, height: 234 };
    assert.ok(colourCount(ARTIFACT, window) > 20, 'the centre of the desktop holds a drawn window');
    assert.equal(colourCount(ARTIFACT, { x: 0, y: 0, width: 300, height: 200 }), 1, 'the rest is bare desktop');
  } finally {
    await edition.stop();
  }
});
