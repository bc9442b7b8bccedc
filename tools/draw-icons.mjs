// Draws the program icon (32 x 32, 32 bpp) into core/resources/program.ico:
// a blue disc with a white "play" triangle. Run with node from the project root.
import { writeFileSync } from 'node:fs';

function pixelAt(x, y, size) {
  const c = (size - 1) / 2, r = size / 2 - 0.5;
  const dx = x - c, dy = y - c;
  const inside = Math.hypot(dx, dy) <= r;
  if (!inside) return [0, 0, 0, 0];
  // Triangle pointing right, centred a little right of the middle.
  const u = (x - size * 0.36) / (size * 0.38), v = Math.abs(y - c) / (size * 0.25);
  if (u >= 0 && u <= 1 && v <= 1 - u) return [255, 255, 255, 255];
  const shade = Math.round(200 - 60 * (y / size));
  return [shade, Math.round(shade * 0.55), 40, 255]; // blue, green, red, alpha
}

export function icoBytes(size) {
  const pixels = size * size * 4, mask = size * Math.ceil(size / 32) * 4;
  const image = 40 + pixels + mask;
  const out = Buffer.alloc(6 + 16 + image);
  out.writeUInt16LE(0, 0); out.writeUInt16LE(1, 2); out.writeUInt16LE(1, 4);
  out.writeUInt8(size, 6); out.writeUInt8(size, 7); out.writeUInt8(0, 8); out.writeUInt8(0, 9);
  out.writeUInt16LE(1, 10); out.writeUInt16LE(32, 12); out.writeUInt32LE(image, 14); out.writeUInt32LE(22, 18);
  let o = 22;
  out.writeUInt32LE(40, o); out.writeInt32LE(size, o + 4); out.writeInt32LE(size * 2, o + 8);
  out.writeUInt16LE(1, o + 12); out.writeUInt16LE(32, o + 14);
  o += 40;
  for (let row = size - 1; row >= 0; row--)  // bottom row first
    for (let x = 0; x < size; x++) { for (const b of pixelAt(x, row, size)) out.writeUInt8(b, o++); }
  return out; // the AND mask stays zero: alpha decides
}

if (import.meta.url === `file://${process.argv[1]}`)
  writeFileSync('core/resources/program.ico', icoBytes(32));
