// The host's side of fieldpilot and voicepipe: each command of fieldpilot is one process and one
// JSON reply; each dictation is one voicepipe process and a stream of events.

/** Environment of a helper process. */
export type Environment = Record<string, string | undefined>;

export interface FieldPilotOptions {
  /**
   * Path of the fieldpilot program. A path inside an Electron archive (a component
   * `app.asar`) runs the program from the same place below `app.asar.unpacked`.
   */
  path: string;
  /** Environment of each run. Default: `process.env`. */
  env?: Environment;
  /**
   * Longest run of every command, in milliseconds: a run that passes it is killed, and its
   * promise rejects with code "timeout" once the process has gone. Default, by command:
   * focused 10000, set 10000, dump 10000, focusField 10000, paste 8000, activate 6000,
   * clearField 6000, copy 5000, window 5000.
   */
  timeoutMs?: number;
}

/** Position and size of a window, in screen points. */
export interface Bounds {
  x: number;
  y: number;
  w: number;
  h: number;
}

/** How the focus discovery went. */
export interface Diagnostics {
  /** Status of switching on "AXManualAccessibility" (0: accepted). */
  manualAccessibility?: number;
  /** Status of the last failed read of the application's focused element (0: no element). */
  appError?: number;
  /** Status of the last failed read of the system-wide focused element (0: no element). */
  systemError?: number;
  /** Status of switching on "AXEnhancedUserInterface", after the second failed pass. */
  enhancedUI?: number;
  /** Which question found the element; "none": the tree search ran and found nothing. */
  via?: 'app' | 'system' | 'tree' | 'none';
  /** Present (true) when a direct read succeeded after "AXEnhancedUserInterface" was set. */
  keptEnhancedUI?: true;
  /**
   * Present (true) on Linux when nothing was found because the application, built on Chromium,
   * hides its accessibility tree: it must be started again with accessibility on (README).
   */
  treeHidden?: true;
  /** Status of the failed read of the focused element's value, when `value` is absent. */
  valueError?: number;
  /** Status of the failed read of the selected text, when `selectedText` is absent. */
  selectedTextError?: number;
}

/** Reply of `focused()`: the frontmost application and its focused element. */
export interface FocusedReply {
  /** The application's name; empty when it has none. */
  app: string;
  /** Its bundle identifier; empty when it has none. */
  bundleId: string;
  pid: number;
  /** Its focused (else main) window; absent when neither can be read. */
  bounds?: Bounds;
  /** Whether the application is built on Electron; absent when it has no bundle location. */
  electron?: boolean;
  diagnostics: Diagnostics;
  /** The focused element's role; empty when no element was found. */
  role: string;
  /** Present only when an element was found. */
  subrole?: string;
  /** Present only when an element was found. */
  placeholder?: string;
  /**
   * The element's text; empty when it only shows its placeholder. Absent when it could not be
   * read (the application did not answer in time, or failed): `diagnostics.valueError` then
   * holds the status. Never treat an absent value as an empty field.
   */
  value?: string;
  /** The selected text; absent when it could not be read (`diagnostics.selectedTextError`). */
  selectedText?: string;
  valueSettable: boolean;
}

/** Reply of `set()`. */
export interface SetReply {
  /** Whether the write succeeded. */
  set: boolean;
  /** The accessibility status of the write (0: success). */
  axError: number;
  /** The value read back 80 ms after the write. */
  value: string;
}

/** Reply of `paste()`. */
export interface PasteReply {
  pasted: true;
  /** Whether every modifier key had been released before the keys were pressed. */
  modifiersReleased: boolean;
}

/** Reply of `copy()`; `all` is present for `copy({ allOf })`. */
export interface CopyReply {
  copied: true;
  all?: true;
  modifiersReleased: boolean;
}

/** Reply of `focusField()`. */
export interface FocusFieldReply {
  /** Whether giving the field keyboard focus succeeded. */
  focused: boolean;
  /** Role of the field: "AXTextArea" or "AXTextField". */
  role: string;
}

/** Reply of `clearField()`. */
export interface ClearFieldReply {
  /**
   * Whether the Delete after select all was typed: false where no key could be posted, and in a
   * terminal, whose text cannot be deleted (the keys would reach the shell).
   */
  cleared: boolean;
}

/** Reply of `activate()`. */
export interface ActivateReply {
  /** Whether the application came to the front. */
  frontmost: boolean;
  /** The frontmost application's pid afterwards. */
  frontPid: number;
}

/** Reply of `window()`. */
export interface WindowReply {
  found: boolean;
  /** The window's layer; -1 when not found or unknown. */
  layer: number;
  onscreen: boolean;
  /** The frontmost application's pid; 0 when none is frontmost. */
  frontPid: number;
}

/** An error reply of fieldpilot, as written. */
export interface ErrorReply {
  error: string;
  /** With "no_focused_element". */
  diagnostics?: Diagnostics;
  /** With "target_not_frontmost" from `paste()` and `copy({ allOf })`. */
  frontPid?: number;
}

/** The codes that this client gives a `HelperError` itself. */
export type ClientErrorCode = 'no_reply' | 'protocol' | 'timeout' | 'spawn' | 'exit' | 'cancelled';

/** The "error" texts of fieldpilot replies, besides its usage texts and "unknown command …". */
export type FieldPilotErrorCode =
  | 'accessibility_not_trusted'
  | 'no_frontmost_app'
  | 'no_focused_element'
  | 'app_not_running'
  | 'secure_input'
  | 'target_not_frontmost'
  | 'no_text_field'
  | 'stdin_unreadable'
  | 'stdin_not_utf8';

/** The "error" texts of voicepipe, besides "mic: …" and the recogniser's own descriptions. */
export type DictationErrorCode = 'speech_denied' | 'mic_denied' | 'unavailable';

/**
 * A run of fieldpilot or voicepipe that did not succeed.
 *
 * `code` is the error text that the program wrote, as written (for fieldpilot the reply's
 * "error", usage texts such as "usage: fieldpilot set <pid> < text" included; for voicepipe the
 * "error" event's text, "mic: …" included), or one of the client's own:
 * - "no_reply": fieldpilot ended with a status other than 0 and wrote nothing (a "focusField"
 *   pid that is not valid, "dump" with no frontmost application, a simulated desktop file that
 *   cannot be used);
 * - "protocol": the output was not exactly one JSON object line (fieldpilot), or a line was
 *   not an event (voicepipe, which is then killed);
 * - "timeout": the run passed its time and was killed;
 * - "spawn": the program could not be started (see `cause`);
 * - "exit": voicepipe ended without a final text and without an error event;
 * - "cancelled": the dictation was cancelled.
 */
export class HelperError extends Error {
  name: 'HelperError';
  code: FieldPilotErrorCode | DictationErrorCode | ClientErrorCode | (string & {});
  /** Exit status; null when the process ended by a signal or never started. */
  status: number | null;
  /** The signal that ended the process ("SIGKILL" after a timeout or cancel), else null. */
  signal: string | null;
  /** fieldpilot's error reply, when it wrote one. */
  reply?: ErrorReply;
  /** What the program wrote on standard error (only the simulated platforms write there). */
  stderr: string;
}

/**
 * Runs fieldpilot commands, one process each. Commands of one FieldPilot run one at a time in
 * call order (they act on one desktop); a command that fails does not hold up the next.
 *
 * Each command resolves with its reply when the program exits with status 0, and otherwise
 * rejects with a `HelperError`.
 */
export class FieldPilot {
  constructor(options: FieldPilotOptions);
  /**
   * The frontmost application and its focused element. Applications whose bundle identifier
   * is in `blind` get the short focus discovery.
   */
  focused(options?: { blind?: readonly string[] }): Promise<FocusedReply>;
  /** The focused window's accessibility tree as a text report, as written (at most `budget` elements, 300 by default). */
  dump(options?: { budget?: number }): Promise<string>;
  /** Replaces the value of the application's focused element with `text` (written on standard input). */
  set(pid: number, text: string): Promise<SetReply>;
  /** Brings the application to the front and pastes; 'all' selects everything first. */
  paste(pid: number, mode: 'all' | 'selection'): Promise<PasteReply>;
  /** Copies in the frontmost application; with `allOf`, everything of that (frontmost) application. */
  copy(options?: { allOf?: number }): Promise<CopyReply>;
  /** Gives keyboard focus to a text area (else a text field) of the application's window. */
  focusField(pid: number): Promise<FocusFieldReply>;
  /** Brings the application to the front, selects everything in its field and deletes it. */
  clearField(pid: number): Promise<ClearFieldReply>;
  /** Brings the application to the front. */
  activate(pid: number): Promise<ActivateReply>;
  /** A window's layer and on-screen state, by window number. */
  window(windowId: number): Promise<WindowReply>;
}

export interface DictateOptions {
  /** Path of the voicepipe program; a path inside app.asar runs it from app.asar.unpacked. */
  path: string;
  /** Locale identifier to recognise, such as "en-US". Default: the user's current locale. */
  locale?: string;
  /**
   * Seconds of unchanged text in a quiet input that end the dictation; 0 or less switches the
   * rule off (the program still stops after 90 s). Default: 1.4. Needs `locale`.
   */
  silenceSeconds?: number;
  /** Environment of the process. Default: `process.env`. */
  env?: Environment;
  /**
   * Milliseconds that the program may take to end after `stop()` (it needs about 1.5 s); then
   * it is killed and `final` rejects with "timeout". Default: 5000.
   */
  stopTimeoutMs?: number;
}

/** "listening" once the microphone runs; "auto_stop" when silence or the 90 s cap ends it. */
export interface StatusEvent {
  type: 'status';
  value: 'listening' | 'auto_stop';
}

/** The input level, 0 to 1, about 15 times a second. */
export interface LevelEvent {
  type: 'level';
  value: number;
}

/** The whole transcription so far (not a delta). */
export interface PartialEvent {
  type: 'partial';
  value: string;
}

/** The final text (may be empty); the program then exits with status 0. */
export interface FinalEvent {
  type: 'final';
  value: string;
}

/** Why the dictation failed; the program then exits with a status other than 0. */
export interface ErrorEvent {
  type: 'error';
  value: DictationErrorCode | (string & {});
}

export type DictationEvent = StatusEvent | LevelEvent | PartialEvent | FinalEvent | ErrorEvent;

/**
 * One running dictation. Iterating it gives every event from the first, in order (also to a
 * loop started late), and ends when the program has exited; it never throws. Leaving a loop
 * early does not stop the dictation.
 */
export interface Dictation extends AsyncIterable<DictationEvent> {
  /** The process id; undefined when the program could not be started. */
  readonly pid: number | undefined;
  /**
   * Resolves with the "final" event's text when the program exits with status 0. Rejects with
   * a `HelperError` whose `code` is the "error" event's text and `status` the exit status; or
   * "exit" when it ended without either, "cancelled" after `cancel()`, "timeout" when it did
   * not end after `stop()`, "protocol" or "spawn". Left unawaited, it never rejects unhandled.
   */
  readonly final: Promise<string>;
  /** Ends the dictation now (by closing its standard input): `final` resolves with the last text. */
  stop(): void;
  /** Kills the program: `final` rejects with "cancelled" once it has gone. */
  cancel(): void;
}

/** Starts one dictation; standard input of the program stays open until `stop()` or `cancel()`. */
export function dictate(options: DictateOptions): Dictation;
