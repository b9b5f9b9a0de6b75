#!/usr/bin/env node
// Stands in for fieldpilot or voicepipe where a test needs what the real programs never do. Its
// last argument names a script file: {"steps": [...], "status": 0}. Steps, in order:
//   {"out": text} or {"err": text}: write on standard output or error ("{pid}" is this pid)
//   {"bytes": base64}: write these bytes on standard output
//   {"pauseMs": n}: wait
//   {"log": [file, text]}: append a line to a file
//   {"hang": true}: wait 10 s, whatever comes on standard input, and so far longer than a test
//   waits for a kill (a test whose kill never comes fails, and leaves nothing behind for long)
// then exit with the status.
import { appendFileSync, readFileSync } from 'node:fs';
import { setTimeout as pause } from 'node:timers/promises';

const script = JSON.parse(readFileSync(process.argv[process.argv.length - 1], 'utf8'));
const withPid = (text) => text.replaceAll('{pid}', String(process.pid));

for (const step of script.steps) {
  if (step.out !== undefined) process.stdout.write(withPid(step.out));
  if (step.err !== undefined) process.stderr.write(withPid(step.err));
  if (step.bytes !== undefined) process.stdout.write(Buffer.from(step.bytes, 'base64'));
  if (step.pauseMs !== undefined) await pause(step.pauseMs);
  if (step.log !== undefined) appendFileSync(step.log[0], `${withPid(step.log[1])}\n`);
  if (step.hang) await pause(10_000);
}
process.exitCode = script.status ?? 0;
