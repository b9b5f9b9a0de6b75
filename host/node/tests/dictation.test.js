// dictate against the built voicepipe on the simulated dictation platform, which runs in real
// time: the dictations run side by side.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { describe, test } from 'node:test';
import { dictate } from '@quillora/helpers';
import { assertGone, environment, folder, jsonFile, voicepipePath } from './support/helpers.js';

const withScenario = (scenario, options = {}) =>
  dictate({ path: voicepipePath, env: environment({ VOICEPIPE_SCENARIO: jsonFile(scenario) }), ...options });
const loggedOps = (logFile) =>
  readFileSync(logFile, 'utf8').trim().split('\n').map((line) => JSON.parse(line).op);

async function eventsOf(dictation) {
  const events = [];
  for await (const event of dictation) events.push(event);
  return events;
}
const withoutLevels = (events) => events.filter((event) => event.type !== 'level');

// A dictation that is not stopped as it should be runs on for up to 90 s: fail long before.
describe('a dictation', { concurrency: true, timeout: 20_000 }, () => {
  test('gives its events in order and resolves final with the final text, for the locale and silence given', async () => {
    // A silence of 0.3 s stops it before the second result; the default 1.4 s would not.
    // Only fr-FR has a recogniser: without the locale argument the program would answer unavailable.
    const dictation = withScenario(
      {
        recognizers: { 'fr-FR': { available: true, onDevice: true } },
        defaultLanguage: null,
        results: [{ at: 0.1, text: 'un' }, { at: 1.0, text: 'un deux' }],
        afterEnd: [{ after: 0.05, text: 'Un.', final: true }],
      },
      { locale: 'fr-FR', silenceSeconds: 0.3 },
    );
    const events = await eventsOf(dictation);
    assert.deepEqual(withoutLevels(events), [
      { type: 'status', value: 'listening' },
      { type: 'partial', value: 'un' },
      { type: 'status', value: 'auto_stop' },
      { type: 'final', value: 'Un.' },
    ]);
    assert.ok(events.some((event) => event.type === 'level' && typeof event.value === 'number'));
    assert.equal(await dictation.final, 'Un.');
  });

  test('runs until stop, which ends its standard input, and final resolves with the last text', async () => {
    const logFile = join(folder, 'stop.log');
    const dictation = withScenario(
      { logFile, results: [{ at: 0.1, text: 'Hello' }], afterEnd: [{ after: 0.05, text: 'Hello.', final: true }] },
      { locale: 'en-US', silenceSeconds: 0 },
    );
    const events = [];
    for await (const event of dictation) {
      events.push(event);
      if (event.type === 'partial') {
        assert.ok(!loggedOps(logFile).includes('endAudio'), 'the dictation went on until the stop');
        dictation.stop();
      }
    }
    assert.deepEqual(withoutLevels(events).map((event) => event.type), ['status', 'partial', 'final']);
    assert.equal(await dictation.final, 'Hello.');
  });

  test('cancel kills the program, and final rejects with cancelled once it has gone', async () => {
    const dictation = withScenario({}, { locale: 'en-US', silenceSeconds: 0 });
    for await (const event of dictation) {
      if (event.type === 'status') dictation.cancel();
    }
    await assert.rejects(dictation.final, { code: 'cancelled', signal: 'SIGKILL' });
    assertGone(dictation.pid);
  });

  test('an error event rejects final with its text and the exit status, even while final is left unawaited', async () => {
    const dictation = withScenario({ speech: 1 });
    assert.deepEqual(await eventsOf(dictation), [{ type: 'error', value: 'speech_denied' }]);
    // An unhandled rejection would fail this test during this turn.
    await new Promise((resolve) => setImmediate(resolve));
    await assert.rejects(dictation.final, { name: 'HelperError', code: 'speech_denied', status: 2 });
  });

  test('a program that ends without a final text or an error event rejects final with exit', async () => {
    const dictation = dictate({ path: voicepipePath, env: environment({ VOICEPIPE_SCENARIO: join(folder, 'none.json') }) });
    assert.deepEqual(await eventsOf(dictation), []);
    await assert.rejects(dictation.final, (error) => {
      assert.equal(error.code, 'exit');
      assert.equal(error.status, 1);
      assert.match(error.stderr, /none\.json/);
      return true;
    });
  });
});

test('silenceSeconds without a locale is refused, since the program reads the locale first', () => {
  assert.throws(() => dictate({ path: voicepipePath, silenceSeconds: 2 }), TypeError);
});
