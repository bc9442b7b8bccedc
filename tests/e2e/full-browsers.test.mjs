// hotkey_relay driven by real browsers: presses made on its control page in
// Chromium, Firefox or WebKit reach the player as one chord each, every page
// shows the title of the window picked on the PC, and the shutdown button
// answers with its alerts. Each engine ends its own program with an accepted
// shutdown, which only the recording stand-in sees.
//
//   DISPLAY=:NN node --test --test-concurrency=1 tests/e2e/full-browsers.test.mjs
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { ENGINES, openBrowser } from './lib/browsers.mjs';
import { CHORD_LETTER, LABELS as PLAYER_LABELS, SHUTDOWN_LABEL } from './lib/buttons.mjs';
import { SYSTEM_SHUTDOWN, relayWindow, startEdition, startFakePlayer, startTitleWindow, stopWine } from './lib/harness.mjs';

const PAGE_URL = 'http://127.0.0.1/';
const LABELS = [...PLAYER_LABELS, SHUTDOWN_LABEL];
// Shown by a browser exactly as on the PC: markup characters and characters
// that GBK cannot hold included.
const SONG = '晴天 <Live> & "more" ♫';
const CHORD_TIMEOUT_MS = 10_000;
// After the last press nothing later can act as a barrier, so give a stray
// request this long to show up as an extra chord.
const SETTLE_MS = 1_000;

// Together the engines press all six commands.
const PRESSES = {
  chromium: ['下一首', '播放/暂停', '下一首'],
  firefox: ['音量加', '喜欢歌曲', '音量减'],
  webkit: ['上一首', '音量减', '播放/暂停'],
};

describe('full control page in real browsers', () => {
  let player;
  let song;

  before(async () => {
    player = await startFakePlayer();
    song = await startTitleWindow(SONG, { at: [20, 20] });
  });

  after(async () => {
    await song?.stop();
    await player?.stop();
    await stopWine();
  });

  for (const engine of ENGINES) {
    test(`${engine}: presses play once and show the picked title; 关机 alerts, then shuts down`, async () => {
      const relay = await startEdition('hotkey_relay');
      let browser;
      try {
        await relayWindow.pick(SONG);
        const start = player.chords().length;
        const heard = () => player.chords().slice(start);
        browser = await openBrowser(engine);

        await browser.goto(PAGE_URL);
        assert.equal(await browser.title(), 'Tavrelo');
        assert.deepEqual(await browser.buttonValues(), LABELS);
        assert.equal(await browser.songTitle(), SONG);

        const expected = [];
        for (const label of PRESSES[engine]) {
          await browser.pressButton(label);
          expected.push(CHORD_LETTER[label]);
          await player.waitForChords(start + expected.length, CHORD_TIMEOUT_MS);
          assert.deepEqual(heard(), expected, `after pressing ${label}`);
          assert.equal(await browser.songTitle(), SONG, `page after pressing ${label}`);
        }

        await browser.typePassword('1234');
        assert.equal(await browser.pressButtonForAlert('关机'), '密码错误！');
        assert.deepEqual(await browser.buttonValues(), LABELS, 'the control page follows the alert');
        assert.equal(await browser.songTitle(), SONG);
        assert.ok(relay.isRunning(), 'a wrong password leaves the program running');

        // The field takes four characters, as typed keys.
        await browser.typePassword('73951');
        assert.equal(await browser.passwordValue(), '7395');
        assert.equal(await browser.pressButtonForAlert('关机'), '关机执行成功！');
        assert.deepEqual(await relay.exited, { code: 0, signal: null }, 'the program ends with code 0');
        const runs = await relay.waitForShutdownRuns(1);
        assert.equal(runs.length, 1);
        assert.equal(runs[0].module.toLowerCase(), SYSTEM_SHUTDOWN.toLowerCase());
        assert.equal(runs[0].commandLine, 'shutdown -s -t 0');

        await new Promise((resolve) => setTimeout(resolve, SETTLE_MS));
        assert.deepEqual(heard(), expected, 'the shutdown presses played nothing');
      } finally {
        await browser?.close();
        await relay.stop();
      }
    });
  }
});
