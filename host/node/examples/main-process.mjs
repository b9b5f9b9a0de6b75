// The host's main process: dictates into the focused text field of the frontmost application.
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { FieldPilot, HelperError, dictate } from '@quillora/helpers';

// The programs ship in helpers/ beside this file. Packaged, that folder is inside app.asar and
// unpacked beside it (asarUnpack); the client runs them from app.asar.unpacked.
const helpers = process.env.QUILLORA_HELPERS_DIR ?? join(dirname(fileURLToPath(import.meta.url)), 'helpers');
const fieldpilot = new FieldPilot({ path: join(helpers, 'fieldpilot') });

async function dictateIntoFocusedField() {
  const field = await fieldpilot.focused();
  if (!field.valueSettable) return `${field.app || 'The frontmost application'} has no text field in focus`;
  // An absent value could not be read: writing back "" plus the dictation would wipe the user's text.
  if (field.value === undefined) return `${field.app} did not tell its text; try again`;

  const dictation = dictate({ path: join(helpers, 'voicepipe'), locale: 'en-US' });
  for await (const event of dictation) {
    if (event.type === 'status') console.log(`(${event.value})`);
    if (event.type === 'partial') console.log(`hearing: ${event.value}`);
  }
  const text = await dictation.final;
  const reply = await fieldpilot.set(field.pid, field.value === '' ? text : `${field.value} ${text}`);
  return reply.set ? `${field.app} now reads: ${reply.value}` : `${field.app} refused the text (${reply.axError})`;
}

try {
  console.log(await dictateIntoFocusedField());
} catch (error) {
  if (!(error instanceof HelperError)) throw error;
  if (error.code === 'accessibility_not_trusted') {
    console.error('Allow Quillora under Privacy & Security › Accessibility, then try again.');
  } else if (error.code === 'speech_denied' || error.code === 'mic_denied') {
    console.error('Allow speech recognition and the microphone under Privacy & Security.');
  } else {
    console.error(`Dictation failed: ${error.message}`);
  }
  process.exitCode = 1;
}
