// README's example of a host main process is examples/main-process.mjs, and it runs as written.
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { mkdirSync, readFileSync, symlinkSync } from 'node:fs';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';
import { test } from 'node:test';
import { environment, fieldpilotPath, folder, voicepipePath } from './support/helpers.js';

const example = fileURLToPath(new URL('../examples/main-process.mjs', import.meta.url));
const scenario = fileURLToPath(new URL('../examples/dictation.json', import.meta.url));
const readme = fileURLToPath(new URL('../../../README.md', import.meta.url));

test('README shows the example as it is', () => {
  assert.ok(readFileSync(readme, 'utf8').includes(readFileSync(example, 'utf8')));
});

test('the example dictates into the focused field of the demo desktop', async () => {
  const helpers = join(folder, 'helpers');
  mkdirSync(helpers);
  symlinkSync(fieldpilotPath, join(helpers, 'fieldpilot'));
  symlinkSync(voicepipePath, join(helpers, 'voicepipe'));
  const env = environment({ FIELDPILOT_DESKTOP: ':demo', VOICEPIPE_SCENARIO: scenario, QUILLORA_HELPERS_DIR: helpers });
  const { stdout } = await promisify(execFile)(process.execPath, [example], { env });
  assert.match(stdout, /hearing: see you tomorrow\n/);
  assert.match(stdout, /Notes now reads: Hello, world! See you tomorrow\.\n$/);
});
