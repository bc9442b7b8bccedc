// hotkey_relay_lite driven by real browsers: each button press a person makes
// in Chromium, Firefox or WebKit reaches the player as exactly one chord.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { ENGINES, openBrowser } from './lib/browsers.mjs';
import { CHORD_LETTER, LABELS } from './lib/buttons.mjs';
import { startEdition, startFakePlayer, stopWine } from './lib/harness.mjs';

const PAGE_URL = 'http://127.0.0.1/';
const CHORD_TIMEOUT_MS = 10_000;
// After the last press nothing later can act as a barrier, so give a stray
// request (a late favicon fetch) this long to show up as an extra chord.
const SETTLE_MS = 1_000;

// Each engine presses at least three labels, one of them twice in a row or
// apart; together the engines press all six.
const PRESSES = {
  chromium: ['下一首', '播放/暂停', '下一首', '上一首'],
  firefox: ['音量加', '音量加', '喜欢歌曲', '音量减'],
  webkit: ['上一首', '音量减', '喜欢歌曲', '上一首', '播放/暂停'],
};

describe('lite control page in real browsers', () => {
  let player;
  let edition;

  before(async () => {
    player = await startFakePlayer();
    edition = await startEdition('hotkey_relay_lite');
  });

  after(async () => {
    await edition?.stop();
    await player?.stop();
    await stopWine();
  });

  for (const engine of ENGINES) {
    test(`${engine}: every press plays its chord once, in order, and shows the page again`, async () => {
      const start = player.chords().length;
      const heard = () => player.chords().slice(start);
      const browser = await openBrowser(engine);
      try {
        await browser.goto(PAGE_URL);
        assert.equal(await browser.title(), 'Tavrelo');
        assert.deepEqual(await browser.buttonValues(), LABELS);

        const expected = [];
        for (const label of PRESSES[engine]) {
          await browser.pressButton(label);
          expected.push(CHORD_LETTER[label]);
          // Chords arrive in request order, so any extra one (the page load,
          // a favicon, a Referer naming the last press) lands before this
          // press's chord and breaks the prefix.
          await player.waitForChords(start + expected.length, CHORD_TIMEOUT_MS);
          assert.deepEqual(heard(), expected, `after pressing ${label}`);
          assert.equal(await browser.title(), 'Tavrelo', `page after pressing ${label}`);
          assert.deepEqual(await browser.buttonValues(), LABELS, `buttons after pressing ${label}`);
        }

        await new Promise((resolve) => setTimeout(resolve, SETTLE_MS));
        assert.deepEqual(heard(), expected, 'nothing more after the last press');
        assert.ok(edition.isRunning(), 'the relay still runs');
      } finally {
        await browser.close();
      }
    });
  }
});
