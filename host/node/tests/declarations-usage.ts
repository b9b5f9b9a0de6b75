// Compiled by `npm run typecheck`, never run: every option, reply member and event of the
// declarations in use, and the misuses that they must refuse.
import { FieldPilot, HelperError, dictate, type DictationEvent } from '@quillora/helpers';

const fp = new FieldPilot({ path: '/opt/helpers/fieldpilot', env: { FIELDPILOT_DESKTOP: ':demo' }, timeoutMs: 3000 });

export async function commands(): Promise<void> {
  const focused = await fp.focused({ blind: ['com.example.app'] });
  const fields: [string, string, number, boolean, string, string | undefined, boolean] = [
    focused.app, focused.bundleId, focused.pid, focused.electron ?? false, focused.role, focused.value,
    focused.valueSettable,
  ];
  const bounds: number = focused.bounds ? focused.bounds.x + focused.bounds.y + focused.bounds.w + focused.bounds.h : 0;
  type Maybe<T> = T | undefined;
  const unread: [Maybe<number>, Maybe<number>] = [focused.diagnostics.valueError, focused.diagnostics.selectedTextError];
  const diagnostics: [Maybe<number>, Maybe<number>, Maybe<number>, Maybe<number>, Maybe<string>, Maybe<true>] = [
    focused.diagnostics.manualAccessibility, focused.diagnostics.appError, focused.diagnostics.systemError,
    focused.diagnostics.enhancedUI, focused.diagnostics.via, focused.diagnostics.keptEnhancedUI,
  ];
  const element: [string | undefined, string | undefined, string | undefined] = [focused.selectedText, focused.subrole, focused.placeholder];
  const report: string = await fp.dump({ budget: 300 });
  const set = await fp.set(focused.pid, 'Hello');
  const written: [boolean, number, string] = [set.set, set.axError, set.value];
  const pasted: [true, boolean] = [(await fp.paste(4242, 'all')).pasted, (await fp.paste(4242, 'selection')).modifiersReleased];
  const copied = await fp.copy({ allOf: 4242 });
  const copy: [true, true | undefined, boolean] = [(await fp.copy()).copied, copied.all, copied.modifiersReleased];
  const field = await fp.focusField(4242);
  const focus: [boolean, string, boolean] = [field.focused, field.role, (await fp.clearField(4242)).cleared];
  const activated = await fp.activate(4242);
  const front: [boolean, number] = [activated.frontmost, activated.frontPid];
  const window = await fp.window(37);
  const shown: [boolean, number, boolean, number] = [window.found, window.layer, window.onscreen, window.frontPid];
  console.log(fields, unread, bounds, diagnostics, element, report, written, pasted, copy, focus, front, shown);

  // @ts-expect-error the mode is 'all' or 'selection'
  await fp.paste(4242, 'everything');
  // @ts-expect-error set takes the text as a string
  await fp.set(4242, 42);
  // @ts-expect-error the path is required
  new FieldPilot({ timeoutMs: 1000 });
}

export async function dictation(): Promise<string> {
  const d = dictate({ path: '/opt/helpers/voicepipe', locale: 'en-US', silenceSeconds: 1.4, env: {}, stopTimeoutMs: 4000 });
  const pid: number | undefined = d.pid;
  for await (const event of d) {
    const described: string = describe(event);
    console.log(pid, described);
  }
  d.stop();
  d.cancel();
  try {
    return await d.final;
  } catch (error) {
    if (!(error instanceof HelperError)) throw error;
    const failure: [string, number | null, string | null, string, string | undefined] = [
      error.code, error.status, error.signal, error.stderr, error.reply?.error,
    ];
    const extra: [number | undefined, string | undefined] = [error.reply?.frontPid, error.reply?.diagnostics?.via];
    console.log(failure, extra);
    return '';
  }
}

function describe(event: DictationEvent): string {
  switch (event.type) {
    case 'status':
      return event.value === 'listening' ? 'listening' : 'stopped by itself';
    case 'level':
      return event.value.toFixed(2);
    case 'partial':
    case 'final':
    case 'error':
      return event.value;
  }
}
