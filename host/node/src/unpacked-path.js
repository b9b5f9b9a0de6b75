// Electron reads files inside app.asar for its own file calls, but the system cannot execute a
// program from inside the archive. The packagers put such files, unpacked, in app.asar.unpacked
// beside the archive, at the same place below it.
const archiveComponent = /(^|\/)app\.asar\//;

/** The path to execute for a program path that may point inside an Electron archive. */
export function unpackedPath(path) {
  return path.replace(archiveComponent, '$1app.asar.unpacked/');
}
