// Programs packaged inside an Electron archive run from the unpacked folder beside it.
import assert from 'node:assert/strict';
import { mkdirSync, symlinkSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { FieldPilot, dictate } from '@quillora/helpers';
import { unpackedPath } from '../src/unpacked-path.js';
import { environment, fieldpilotPath, folder, jsonFile, voicepipePath } from './support/helpers.js';

test('a path inside app.asar runs the program from app.asar.unpacked', async () => {
  const resources = join(folder, 'Quillora.app/Contents/Resources');
  mkdirSync(join(resources, 'app.asar.unpacked/helpers'), { recursive: true });
  symlinkSync(fieldpilotPath, join(resources, 'app.asar.unpacked/helpers/fieldpilot'));
  symlinkSync(voicepipePath, join(resources, 'app.asar.unpacked/helpers/voicepipe'));

  const env = environment({ FIELDPILOT_DESKTOP: ':demo', VOICEPIPE_SCENARIO: jsonFile({ speech: 1 }) });
  const fp = new FieldPilot({ path: join(resources, 'app.asar/helpers/fieldpilot'), env });
  assert.equal((await fp.focused()).app, 'Notes');
  const dictation = dictate({ path: join(resources, 'app.asar/helpers/voicepipe'), env });
  await assert.rejects(dictation.final, { code: 'speech_denied' });
});

test('only a path component named app.asar is an archive', () => {
  assert.equal(unpackedPath('/Apps/my-app.asar/helpers/fieldpilot'), '/Apps/my-app.asar/helpers/fieldpilot');
  assert.equal(unpackedPath('/Apps/app.asar.unpacked/fieldpilot'), '/Apps/app.asar.unpacked/fieldpilot');
});
