// What the tests share: the built programs, the stand-in, and files in a temporary folder.
import assert from 'node:assert/strict';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { after } from 'node:test';

const repository = fileURLToPath(new URL('../../../../', import.meta.url));
export const fieldpilotPath = join(repository, 'build/fieldpilot/fieldpilot');
export const voicepipePath = join(repository, 'build/voicepipe/voicepipe');
export const standInPath = fileURLToPath(new URL('../stand-ins/scripted-program.mjs', import.meta.url));

for (const program of [fieldpilotPath, voicepipePath]) {
  if (!existsSync(program)) {
    throw new Error(`${program} is missing: scripts/build --target fieldpilot --target voicepipe build`);
  }
}

export const folder = mkdtempSync(join(tmpdir(), 'quillora-helpers-'));
after(() => rmSync(folder, { recursive: true, force: true }));

let files = 0;
/** Writes a JSON file into the temporary folder and returns its path. */
export function jsonFile(value) {
  const path = join(folder, `file-${++files}.json`);
  writeFileSync(path, JSON.stringify(value));
  return path;
}

export function readJson(path) {
  return JSON.parse(readFileSync(path, 'utf8'));
}

/** A stand-in script (see stand-ins/scripted-program.mjs), as the path to give as its last argument. */
export function script(steps, status = 0) {
  return jsonFile({ steps, status });
}

/** The process environment plus these variables. */
export function environment(variables) {
  return { ...process.env, ...variables };
}

/** Asserts that no process has this pid any more: it has exited and been reaped. */
export function assertGone(pid) {
  assert.throws(() => process.kill(pid, 0), { code: 'ESRCH' });
}

/** Stand-in steps that write the text in pieces cut at these byte offsets, with a pause after each. */
export function inPieces(text, cuts) {
  const bytes = Buffer.from(text);
  const edges = [0, ...cuts, bytes.length];
  return edges.slice(1).flatMap((end, index) => [
    { bytes: bytes.subarray(edges[index], end).toString('base64') },
    { pauseMs: 20 },
  ]);
}
