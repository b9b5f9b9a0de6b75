// FieldPilot against the built fieldpilot on the simulated desktop.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { join } from 'node:path';
import { test } from 'node:test';
import { FieldPilot } from '@quillora/helpers';
import { environment, fieldpilotPath, folder, jsonFile, readJson } from './support/helpers.js';

const onDesktop = (desktop) => new FieldPilot({ path: fieldpilotPath, env: environment({ FIELDPILOT_DESKTOP: desktop }) });
const demo = onDesktop(':demo');
const direct = (...args) =>
  execFileSync(fieldpilotPath, args, { env: environment({ FIELDPILOT_DESKTOP: ':demo' }), encoding: 'utf8' });

const editor = (field = {}, app = {}) => ({
  frontmost: 501,
  clipboard: 'CLIP',
  apps: [{ pid: 501, name: 'Editor', bundleId: 'com.example.editor', AXFocusedWindow: { element: 'window' }, ...app }],
  elements: {
    window: { pid: 501, AXRole: 'AXWindow', AXChildren: [{ element: 'field' }] },
    field: { pid: 501, AXRole: 'AXTextArea', AXValue: 'draft', AXFocused: true, selection: [5, 0], settable: ['AXValue'], ...field },
  },
  windows: { 37: { kCGWindowLayer: 0, kCGWindowIsOnscreen: true } },
});
const focusReads = (desktop, pid) =>
  readJson(desktop).log.filter((entry) => entry.attribute === 'AXFocusedUIElement' && entry.element === `app:${pid}`).length;

test('focused resolves with the reply object as written', async () => {
  assert.deepEqual(await demo.focused(), JSON.parse(direct('focused')));
});

test('focused passes the whole blind list', async () => {
  const desktop = jsonFile(editor({ AXFocused: false }));
  await onDesktop(desktop).focused({ blind: ['com.example.other', 'com.example.editor'] });
  assert.equal(focusReads(desktop, 501), 2, 'the short discovery asks twice, the patient one 20 times');
});

test('dump resolves with the report text, for the budget given', async () => {
  assert.equal(await demo.dump(), direct('dump'));
  assert.match(await demo.dump({ budget: 0 }), /\nvisited=0\n$/);
});

test('set writes the text on standard input exactly', async () => {
  const text = 'Grüße 👋\nline two\n';
  assert.deepEqual(await onDesktop(jsonFile(editor())).set(501, text), { set: true, axError: 0, value: text });
});

test('each command reaches the program with its operands', async () => {
  const desktop = jsonFile(editor());
  const fp = onDesktop(desktop);
  const field = () => readJson(desktop).elements.field.AXValue;

  assert.deepEqual(await fp.paste(501, 'selection'), { pasted: true, modifiersReleased: true });
  assert.equal(field(), 'draftCLIP');
  await fp.paste(501, 'all');
  assert.equal(field(), 'CLIP');
  assert.deepEqual(await fp.copy(), { copied: true, modifiersReleased: true });
  assert.deepEqual(await fp.copy({ allOf: 501 }), { copied: true, all: true, modifiersReleased: true });
  assert.deepEqual(await fp.focusField(501), { focused: true, role: 'AXTextArea' });
  assert.deepEqual(await fp.clearField(501), { cleared: true });
  assert.equal(field(), '');
  assert.deepEqual(await fp.activate(501), { frontmost: true, frontPid: 501 });
  assert.deepEqual(await fp.window(37), { found: true, layer: 0, onscreen: true, frontPid: 501 });
});

test('an error reply rejects with its error as the code, the status and the reply', async () => {
  const refusing = onDesktop(jsonFile({ ...editor({}, { activation: 'refuse' }), frontmost: null }));
  await assert.rejects(refusing.paste(501, 'all'), {
    name: 'HelperError',
    code: 'target_not_frontmost',
    status: 1,
    signal: null,
    reply: { error: 'target_not_frontmost', frontPid: 0 },
  });
  const unfocused = onDesktop(jsonFile(editor({ AXFocused: false })));
  await assert.rejects(unfocused.set(501, 'x'), (error) => {
    assert.equal(error.code, 'no_focused_element');
    assert.equal(error.reply.diagnostics.via, 'none');
    return true;
  });
  const untrusted = onDesktop(jsonFile({ trusted: false }));
  await assert.rejects(untrusted.focused(), { code: 'accessibility_not_trusted', status: 2 });
  await assert.rejects(demo.window(-1), { code: 'usage: fieldpilot window <id>', status: 1 });
});

test('set whose text the program never reads settles with its reply', async () => {
  // Far more than a pipe holds: the write fails with EPIPE once the program has exited.
  const text = 'x'.repeat(16 * 1024 * 1024);
  await assert.rejects(onDesktop(jsonFile({ trusted: false })).set(501, text), { code: 'accessibility_not_trusted' });
  await assert.rejects(demo.set('5x', text), { code: 'usage: fieldpilot set <pid> < text' });
});

test('a run that ends with a status other than 0 and writes nothing rejects with no_reply', async () => {
  await assert.rejects(demo.focusField(2 ** 40), { code: 'no_reply', status: 1, reply: undefined });
  await assert.rejects(onDesktop(jsonFile({ frontmost: null })).dump(), { code: 'no_reply', status: 1 });
  const missing = join(folder, 'no-such-desktop.json');
  await assert.rejects(onDesktop(missing).focused(), (error) => {
    assert.equal(error.code, 'no_reply');
    assert.match(error.stderr, /no-such-desktop\.json/);
    return true;
  });
});

test('a program that cannot be started rejects with spawn', async () => {
  const fp = new FieldPilot({ path: join(folder, 'no-such-program') });
  await assert.rejects(fp.window(1), (error) => {
    assert.equal(error.code, 'spawn');
    assert.equal(error.cause.code, 'ENOENT');
    return true;
  });
});
