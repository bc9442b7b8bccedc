// The page's buttons as the tests know them: the label a browser shows, the
// token it sends for that GBK label, and the chord letter the player hears;
// in the order the programs try them.
export const BUTTONS = [
  { name: 'previous track', label: '上一首', token: '%C9%CF%D2%BB%CA%D7', letter: 'J' },
  { name: 'play/pause', label: '播放/暂停', token: '%B2%A5%B7%C5%2F%D4%DD%CD%A3', letter: 'P' },
  { name: 'next track', label: '下一首', token: '%CF%C2%D2%BB%CA%D7', letter: 'K' },
  { name: 'volume up', label: '音量加', token: '%D2%F4%C1%BF%BC%D3', letter: 'U' },
  { name: 'like song', label: '喜欢歌曲', token: '%CF%B2%BB%B6%B8%E8%C7%FA', letter: 'L' },
  { name: 'volume down', label: '音量减', token: '%D2%F4%C1%BF%BC%F5', letter: 'I' },
];
export const LABELS = BUTTONS.map((button) => button.label);
export const CHORD_LETTER = Object.fromEntries(BUTTONS.map((button) => [button.label, button.letter]));

// The full edition's shutdown button.
export const SHUTDOWN_LABEL = '关机';
export const SHUTDOWN_TOKEN = '%B9%D8%BB%FA';

// Every answer starts with this header block.
export const ANSWER_HEADER = Buffer.from(
  'HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=gb2312\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n',
);
