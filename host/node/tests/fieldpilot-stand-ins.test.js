// FieldPilot against a stand-in for what fieldpilot never does: garbage, hangs, slow chunks.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { FieldPilot } from '@quillora/helpers';
import { assertGone, folder, inPieces, script, standInPath } from './support/helpers.js';

// The stand-in takes its script from its last argument: here the operand of "window".
const standIn = new FieldPilot({ path: standInPath });

test('output that is not exactly one JSON object line rejects with protocol', async () => {
  const outputs = [
    ['garbage\n', 1],
    ['{"found":true}\n{"found":false}\n', 0],
    ['["found"]\n', 0],
    ['{"found":true}', 0],
    ['', 0],
    ['{"error":7}\n', 1],
  ];
  for (const [out, status] of outputs) {
    await assert.rejects(standIn.window(script([{ out }], status)), { code: 'protocol', status }, JSON.stringify(out));
  }
});

test('a reply that arrives in pieces, split inside a character, resolves whole', async () => {
  const reply = '{"role":"AXTextField","value":"é"}\n';
  const steps = inPieces(reply, [9, Buffer.from(reply).indexOf('é') + 1]);
  assert.deepEqual(await standIn.window(script(steps)), { role: 'AXTextField', value: 'é' });
});

test('a run that passes timeoutMs rejects once the process is killed and gone', async () => {
  const fp = new FieldPilot({ path: standInPath, timeoutMs: 300 });
  const error = await fp.window(script([{ err: '{pid}' }, { hang: true }])).catch((rejection) => rejection);
  assert.equal(error.code, 'timeout');
  assert.equal(error.signal, 'SIGKILL');
  assertGone(Number(error.stderr));
});

test('a program that exits while the text of set is still being written settles with its reply', async () => {
  const steps = [{ out: '{"error":"app_not_running"}\n' }];
  await assert.rejects(standIn.set(script(steps, 1), 'x'.repeat(16 * 1024 * 1024)), { code: 'app_not_running' });
});

test('commands run one at a time in call order, a failed one included', async () => {
  const log = join(folder, 'order.log');
  const run = (name, reply, status) =>
    script([{ log: [log, `${name} start`] }, { pauseMs: 50 }, { log: [log, `${name} end`] }, { out: reply }], status);
  const first = standIn.window(run('first', '{"found":true}\n', 0));
  const second = standIn.window(run('second', '{"error":"no_text_field"}\n', 1));
  const third = standIn.window(run('third', '{"found":false}\n', 0));
  assert.deepEqual(await first, { found: true });
  await assert.rejects(second, { code: 'no_text_field' });
  assert.deepEqual(await third, { found: false });
  const lines = ['first start', 'first end', 'second start', 'second end', 'third start', 'third end'];
  assert.equal(readFileSync(log, 'utf8'), `${lines.join('\n')}\n`);
});
