// dictate against a stand-in for what voicepipe never does: chunked lines, garbage, hangs.
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { describe, test } from 'node:test';
import { dictate } from '@quillora/helpers';
import { assertGone, folder, inPieces, script, standInPath } from './support/helpers.js';

// The stand-in takes its script from its last argument: here the locale.
const standIn = (steps, status, options) => dictate({ path: standInPath, locale: script(steps, status), ...options });

async function eventsOf(dictation) {
  const events = [];
  for await (const event of dictation) events.push(event);
  return events;
}

describe('a dictation', { concurrency: true }, () => {
  test('gives whole events in order however its output is chunked', async () => {
    const output = '{"status":"listening"}\n{"partial":"ça"}\n{"partial":"ça va"}\n{"final":"Ça va."}\n';
    // Mid-line, inside the two bytes of a "ç", and a last piece that holds the end of one line and a whole other.
    const cuts = [5, Buffer.from(output).indexOf('ç') + 1, output.indexOf('ça va') - 1];
    const dictation = standIn(inPieces(output, cuts));
    assert.deepEqual(await eventsOf(dictation), [
      { type: 'status', value: 'listening' },
      { type: 'partial', value: 'ça' },
      { type: 'partial', value: 'ça va' },
      { type: 'final', value: 'Ça va.' },
    ]);
    assert.equal(await dictation.final, 'Ça va.');
  });

  test('a line that is not an event kills the program and rejects final with protocol', async () => {
    const dictation = standIn([{ out: '{"status":"listening"}\nnot json\n' }, { hang: true }]);
    assert.deepEqual(await eventsOf(dictation), [{ type: 'status', value: 'listening' }]);
    await assert.rejects(dictation.final, { code: 'protocol', signal: 'SIGKILL' });
    assertGone(dictation.pid);
  });

  test('a program that exits with status 0 without a final text rejects final with exit', async () => {
    const dictation = standIn([{ out: '{"status":"listening"}\n' }], 0);
    await assert.rejects(dictation.final, { code: 'exit', status: 0 });
    assert.deepEqual(await eventsOf(dictation), [{ type: 'status', value: 'listening' }], 'a late loop gets every event');
  });

  test('a program that does not end after stop is killed, and final rejects with timeout', async () => {
    const dictation = standIn([{ out: '{"status":"listening"}\n' }, { hang: true }], 0, { stopTimeoutMs: 200 });
    for await (const event of dictation) {
      if (event.type === 'status') dictation.stop();
    }
    await assert.rejects(dictation.final, { code: 'timeout', signal: 'SIGKILL' });
    assertGone(dictation.pid);
  });

  test('a program that cannot be started ends the events and rejects final with spawn', async () => {
    const dictation = dictate({ path: join(folder, 'no-such-program') });
    assert.equal(dictation.pid, undefined);
    assert.deepEqual(await eventsOf(dictation), []);
    await assert.rejects(dictation.final, { code: 'spawn' });
  });
});
