// Runs the programs, compiled to WebAssembly, off the page's thread: each run gets its
// arguments, standard input and files in memory, and gives back its exit status, what it
// wrote and the files it made. The system interface (WASI) is this file's own, for files
// in memory only: a program here cannot reach the network or the teacher's disk.
'use strict';

const errno = { success: 0, badf: 8, exist: 20, inval: 28, isdir: 31, noent: 44, nosys: 52, notdir: 54, spipe: 70 };
const filetype = { characterDevice: 2, directory: 3, regularFile: 4 };
const openFlags = { create: 1, directory: 2, exclusive: 4, truncate: 8 };
const appendFlag = 1;

class ProgramExit {
  constructor(status) { this.status = status; }
}

// A file's bytes, grown as they are written.
class MemoryFile {
  constructor(bytes = new Uint8Array(0)) { this.bytes = bytes; this.size = bytes.length; }
  content() { return this.bytes.subarray(0, this.size); }
  truncate(size) { this.ensure(size); if (size > this.size) this.bytes.fill(0, this.size, size); this.size = size; }
  ensure(size) {
    if (size <= this.bytes.length) return;
    const grown = new Uint8Array(Math.max(size, this.bytes.length * 2, 4096));
    grown.set(this.content());
    this.bytes = grown;
  }
  write(at, data) { this.ensure(at + data.length); this.bytes.set(data, at); this.size = Math.max(this.size, at + data.length); }
}

function normalised(path) {
  const parts = [];
  for (const part of path.split('/')) {
    if (part === '' || part === '.') continue;
    if (part === '..') parts.pop(); else parts.push(part);
  }
  return '/' + parts.join('/');
}

// One run of one program: the system calls it makes, over its memory.
class System {
  constructor(args, stdin, files, onRead) {
    this.args = args;
    this.files = new Map(Object.entries(files).map(([name, bytes]) => [normalised(name), new MemoryFile(bytes)]));
    this.folders = new Set(['/', '/tmp']);
    this.stdout = new MemoryFile();
    this.stderr = new MemoryFile();
    this.descriptors = new Map([
      [0, { stream: new MemoryFile(stdin), position: 0 }],
      [1, { stream: this.stdout, append: true }],
      [2, { stream: this.stderr, append: true }],
      [3, { folder: '/' }],
    ]);
    this.nextDescriptor = 4;
    this.onRead = onRead;
  }
  view() { return new DataView(this.memory.buffer); }
  bytes(at, length) { return new Uint8Array(this.memory.buffer, at, length); }
  text(at, length) { return new TextDecoder().decode(this.bytes(at, length).slice()); }
  pathAt(folderDescriptor, at, length) {
    const folder = this.descriptors.get(folderDescriptor);
    return folder && folder.folder !== undefined ? normalised(folder.folder + '/' + this.text(at, length)) : null;
  }
  writeStrings(strings, pointers, buffer) {
    const view = this.view();
    const encoder = new TextEncoder();
    for (const string of strings) {
      view.setUint32(pointers, buffer, true);
      pointers += 4;
      const encoded = encoder.encode(string + '\0');
      this.bytes(buffer, encoded.length).set(encoded);
      buffer += encoded.length;
    }
    return errno.success;
  }
  sizes(strings, countAt, sizeAt) {
    const view = this.view();
    view.setUint32(countAt, strings.length, true);
    view.setUint32(sizeAt, strings.reduce((sum, string) => sum + new TextEncoder().encode(string).length + 1, 0), true);
    return errno.success;
  }
  writeFileStat(at, type, size) {
    const view = this.view();
    this.bytes(at, 64).fill(0);
    view.setUint8(at + 16, type);
    view.setBigUint64(at + 24, 1n, true);
    view.setBigUint64(at + 32, BigInt(size), true);
    return errno.success;
  }
  statOf(entry) {
    if (entry.folder !== undefined) return [filetype.directory, 0];
    return [entry.path === undefined ? filetype.characterDevice : filetype.regularFile, entry.stream.size];
  }
  transfer(descriptor, vectors, count, countAt, position, move) {
    const entry = this.descriptors.get(descriptor);
    if (!entry || !entry.stream) return errno.badf;
    const view = this.view();
    let at = position === undefined ? entry.position : Number(position);
    let done = 0;
    for (let vector = 0; vector < count; ++vector) {
      const buffer = view.getUint32(vectors + vector * 8, true);
      const length = view.getUint32(vectors + vector * 8 + 4, true);
      const moved = move(entry, at, buffer, length);
      at += moved;
      done += moved;
      if (moved < length) break;
    }
    if (position === undefined) entry.position = at;
    view.setUint32(countAt, done, true);
    return errno.success;
  }
  read(descriptor, vectors, count, countAt, position) {
    const status = this.transfer(descriptor, vectors, count, countAt, position, (entry, at, buffer, length) => {
      const available = entry.stream.content().subarray(at, at + length);
      this.bytes(buffer, available.length).set(available);
      return available.length;
    });
    const entry = this.descriptors.get(descriptor);
    if (entry && entry.path && this.onRead) this.onRead(entry.position, entry.stream.size);
    return status;
  }
  write(descriptor, vectors, count, countAt, position) {
    return this.transfer(descriptor, vectors, count, countAt, position, (entry, at, buffer, length) => {
      entry.stream.write(entry.append ? entry.stream.size : at, this.bytes(buffer, length));
      return length;
    });
  }
  open(folder, at, length, flags, fdflags, descriptorAt) {
    const path = this.pathAt(folder, at, length);
    if (path === null) return errno.badf;
    if (this.folders.has(path)) {
      if (flags & (openFlags.create | openFlags.exclusive | openFlags.truncate) && !(flags & openFlags.directory)) return errno.isdir;
      return this.newDescriptor({ folder: path }, descriptorAt);
    }
    if (flags & openFlags.directory) return this.files.has(path) ? errno.notdir : errno.noent;
    let file = this.files.get(path);
    if (file && flags & openFlags.exclusive) return errno.exist;
    if (!file) {
      if (!(flags & openFlags.create)) return errno.noent;
      if (!this.folders.has(normalised(path + '/..'))) return errno.noent;
      file = new MemoryFile();
      this.files.set(path, file);
    }
    if (flags & openFlags.truncate) file.truncate(0);
    return this.newDescriptor({ stream: file, path, position: 0, append: (fdflags & appendFlag) !== 0 }, descriptorAt);
  }
  newDescriptor(entry, at) {
    const descriptor = this.nextDescriptor++;
    this.descriptors.set(descriptor, entry);
    this.view().setUint32(at, descriptor, true);
    return errno.success;
  }
  seek(descriptor, offset, whence, positionAt) {
    const entry = this.descriptors.get(descriptor);
    if (!entry || !entry.stream) return errno.badf;
    if (!entry.path) return errno.spipe;
    const base = [0, entry.position, entry.stream.size][whence];
    const position = base + Number(offset);
    if (base === undefined || position < 0) return errno.inval;
    entry.position = position;
    this.view().setBigUint64(positionAt, BigInt(position), true);
    return errno.success;
  }
  rename(from, fromAt, fromLength, to, toAt, toLength) {
    const source = this.pathAt(from, fromAt, fromLength);
    const target = this.pathAt(to, toAt, toLength);
    if (!this.files.has(source)) return errno.noent;
    this.files.set(target, this.files.get(source));
    this.files.delete(source);
    return errno.success;
  }
  imports(module) {
    const calls = {
      args_sizes_get: (countAt, sizeAt) => this.sizes(this.args, countAt, sizeAt),
      args_get: (pointers, buffer) => this.writeStrings(this.args, pointers, buffer),
      environ_sizes_get: (countAt, sizeAt) => this.sizes([], countAt, sizeAt),
      environ_get: () => errno.success,
      clock_res_get: (clock, at) => { this.view().setBigUint64(at, 1000000n, true); return errno.success; },
      clock_time_get: (clock, precision, at) => {
        this.view().setBigUint64(at, BigInt(Math.round(Date.now())) * 1000000n, true);
        return errno.success;
      },
      fd_close: (descriptor) => (this.descriptors.delete(descriptor) ? errno.success : errno.badf),
      fd_fdstat_get: (descriptor, at) => {
        const entry = this.descriptors.get(descriptor);
        if (!entry) return errno.badf;
        const view = this.view();
        view.setUint8(at, this.statOf(entry)[0]);
        view.setUint16(at + 2, entry.append ? appendFlag : 0, true);
        view.setBigUint64(at + 8, 0xffffffffffffffffn, true);
        view.setBigUint64(at + 16, 0xffffffffffffffffn, true);
        return errno.success;
      },
      fd_fdstat_set_flags: () => errno.success,
      fd_filestat_get: (descriptor, at) => {
        const entry = this.descriptors.get(descriptor);
        return entry ? this.writeFileStat(at, ...this.statOf(entry)) : errno.badf;
      },
      fd_filestat_set_size: (descriptor, size) => {
        const entry = this.descriptors.get(descriptor);
        if (!entry || !entry.path) return errno.badf;
        entry.stream.truncate(Number(size));
        return errno.success;
      },
      fd_prestat_get: (descriptor, at) => {
        if (descriptor !== 3) return errno.badf;
        this.view().setUint8(at, 0);
        this.view().setUint32(at + 4, 1, true);
        return errno.success;
      },
      fd_prestat_dir_name: (descriptor, at, length) => {
        if (descriptor !== 3) return errno.badf;
        this.bytes(at, length).set(new TextEncoder().encode('/').subarray(0, length));
        return errno.success;
      },
      fd_read: (descriptor, vectors, count, countAt) => this.read(descriptor, vectors, count, countAt),
      fd_pread: (descriptor, vectors, count, offset, countAt) => this.read(descriptor, vectors, count, countAt, offset),
      fd_write: (descriptor, vectors, count, countAt) => this.write(descriptor, vectors, count, countAt),
      fd_pwrite: (descriptor, vectors, count, offset, countAt) => this.write(descriptor, vectors, count, countAt, offset),
      fd_seek: (descriptor, offset, whence, at) => this.seek(descriptor, offset, whence, at),
      fd_tell: (descriptor, at) => this.seek(descriptor, 0n, 1, at),
      fd_sync: () => errno.success,
      fd_datasync: () => errno.success,
      path_open: (folder, lookup, at, length, flags, rights, inherited, fdflags, descriptorAt) =>
        this.open(folder, at, length, flags, fdflags, descriptorAt),
      path_filestat_get: (folder, lookup, at, length, statAt) => {
        const path = this.pathAt(folder, at, length);
        if (this.folders.has(path)) return this.writeFileStat(statAt, filetype.directory, 0);
        const file = this.files.get(path);
        return file ? this.writeFileStat(statAt, filetype.regularFile, file.size) : errno.noent;
      },
      path_unlink_file: (folder, at, length) => (this.files.delete(this.pathAt(folder, at, length)) ? errno.success : errno.noent),
      path_rename: (from, fromAt, fromLength, to, toAt, toLength) => this.rename(from, fromAt, fromLength, to, toAt, toLength),
      random_get: (at, length) => {
        for (let done = 0; done < length; done += 65536) {
          crypto.getRandomValues(this.bytes(at + done, Math.min(65536, length - done)));
        }
        return errno.success;
      },
      proc_exit: (status) => { throw new ProgramExit(status); },
      sched_yield: () => errno.success,
    };
    const wasi = {};
    for (const { module: from, name } of WebAssembly.Module.imports(module)) {
      if (from === 'wasi_snapshot_preview1') wasi[name] = calls[name] || (() => errno.nosys);
    }
    return { wasi_snapshot_preview1: wasi };
  }
  run(module) {
    const instance = new WebAssembly.Instance(module, this.imports(module));
    this.memory = instance.exports.memory;
    try {
      instance.exports._start();
      return 0;
    } catch (stop) {
      if (stop instanceof ProgramExit) return stop.status;
      throw stop;
    }
  }
}

const modules = {};

self.onmessage = ({ data }) => {
  if (data.modules) {
    for (const [name, bytes] of Object.entries(data.modules)) modules[name] = new WebAssembly.Module(bytes);
    return;
  }
  const { id, program, args, stdin, files, keep } = data;
  let lastShown = 0;
  const system = new System([program, ...args], stdin || new Uint8Array(0), files || {}, (read, size) => {
    const now = Date.now();
    if (now - lastShown < 100) return;
    lastShown = now;
    self.postMessage({ id, progress: size ? read / size : 0 });
  });
  let status;
  let failure = null;
  try {
    status = system.run(modules[program]);
  } catch (error) {
    status = null;
    failure = String(error && error.message ? error.message : error);
  }
  const made = {};
  for (const name of keep || []) {
    const file = system.files.get(normalised(name));
    if (file) made[name] = file.content().slice();
  }
  const stdout = system.stdout.content().slice();
  const stderr = system.stderr.content().slice();
  self.postMessage({ id, status, failure, stdout, stderr, files: made }, [stdout.buffer, stderr.buffer, ...Object.values(made).map((bytes) => bytes.buffer)]);
};
