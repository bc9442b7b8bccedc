// Keeps a picture of each edition's window as an artifact of the build, so a
// person can look at it: build/artifacts/<program>.png.
import assert from 'node:assert/strict';
import path from 'node:path';
import { after, test } from 'node:test';

import { REPO, colourCount, screenshot, sleep, startEdition, stopWine } from './lib/harness.mjs';

const ARTIFACTS = process.env.ARTIFACTS_DIR || path.join(REPO, 'build/artifacts');
// The desktop is 1280 x 800 and each window 375 wide, centred.
const WINDOWS = [
  { program: 'hotkey_relay_lite', height: 234 },
  { program: 'hotkey_relay', height: 295 },
];

after(stopWine);

for (const { program, height } of WINDOWS) {
  test(`${program}: the window is drawn, centred on the desktop, and kept as a picture`, async () => {
    const edition = await startEdition(program);
    try {
      await sleep(1500); // the skin and the address are drawn after the window shows
      const file = screenshot(path.join(ARTIFACTS, `${program}.png`));
      const window = { x: (1280 - 375) >> 1, y: (800 - height) >> 1, width: 375, height };
      assert.ok(colourCount(file, window) > 20, 'the centre of the desktop holds a drawn window');
      assert.equal(colourCount(file, { x: 0, y: 0, width: 300, height: 200 }), 1, 'the rest is bare desktop');
    } finally {
      await edition.stop();
    }
  });
}
