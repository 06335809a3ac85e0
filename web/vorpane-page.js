// vorpane-page.js - the page around the show: the address read into a start
// (its fragment may hold a scene's text), the canvas scaled, the atlas and a
// scene fetched into the program's files, the program started, its state
// shown under the picture and offered to tests as window.vorpane (polled,
// never per animation frame); the editor (vorpane-editor.js) checked by the
// program a moment after each change, its mistakes marked and listed, a
// good text played and written into the address; buttons, files opened,
// dropped and downloaded, a touch's aim. The BulletML files a format 2
// scene names come only from the program's file system's /shipped/ (the
// site's scenes, written there before the program starts) and /opened/
// (every file opened into the page or dropped on it, by its name); a scene
// that names any is not written into the address, which carries one text.
'use strict';

(function () {
  // The desktop's options, as address parameters; the same ranges.
  const LAST_FRAME = 100000000;
  // The pause after the last change before the text is checked.
  const EDIT_PAUSE_MS = 300;
  // The longest address the page writes: longer ones are refused by some
  // servers and mail programs, and are not shared well.
  const ADDRESS_MAX = 8000;

  // ?start-frame=N&paused&scale=K&rank=R&scene=NAME -> {startFrame, paused,
  // scale, rank, scene}, or {error}; NAME is checked against the site's list
  // later.
  function readAddress(search) {
    const start = { startFrame: 1, paused: false, scale: 1, rank: '0.5', scene: null };
    const whole = (text, low, high) => (/^[0-9]{1,9}$/.test(text) && +text >= low && +text <= high ? +text : null);
    for (const [name, value] of new URLSearchParams(search)) {
      if (name === 'start-frame') {
        start.startFrame = whole(value, 1, LAST_FRAME);
        if (start.startFrame === null) return { error: `start-frame wants a frame from 1 to ${LAST_FRAME}, not "${value}"` };
      } else if (name === 'scale') {
        start.scale = whole(value, 1, 4);
        if (start.scale === null) return { error: `scale wants 1, 2, 3 or 4, not "${value}"` };
      } else if (name === 'rank') {
        // As the desktop's --rank: a plain decimal from 0 to 1.
        if (!/^(0(\.[0-9]+)?|1(\.0+)?|\.[0-9]+)$/.test(value)) return { error: `rank wants a number from 0 to 1, not "${value}"` };
        start.rank = value;
      } else if (name === 'scene') {
        start.scene = value;
      } else if (name === 'paused') {
        if (value !== '') return { error: `paused takes no value, not "${value}"` };
        start.paused = true;
      } else {
        return { error: `unknown parameter "${name}"; the page takes start-frame=N, paused, scale=K, rank=R and scene=NAME` };
      }
    }
    return start;
  }

  // The text of a scene in an address: UTF-8, raw DEFLATE, unpadded
  // base64url; and back.
  async function packText(text) {
    const stream = new Blob([new TextEncoder().encode(text)]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    const bytes = new Uint8Array(await new Response(stream).arrayBuffer());
    let binary = '';
    for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }
  async function unpackText(code) {
    if (!/^[A-Za-z0-9_-]*$/.test(code)) throw new Error('it is not base64url');
    const binary = atob(code.replace(/-/g, '+').replace(/_/g, '/'));
    const bytes = Uint8Array.from(binary, (c) => c.charCodeAt(0));
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    return new TextDecoder('utf-8', { fatal: true }).decode(await new Response(stream).arrayBuffer());
  }

  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas');
  const status = $('status');
  const message = $('message');
  const report = $('report');
  const mistakesList = $('mistakes');
  const verdict = $('verdict');
  const share = $('share');
  const state = { ended: false, error: null, firstFrameMs: null, started: false, edits: 0, checks: 0,
                  editedAt: null, playedAt: null, playedPresented: null, pending: null, fileName: null,
                  filesReady: false };

  function say(text) {
    $('message-text').textContent = text;
    message.style.display = 'block';
  }
  // Nothing started: starting again would not help.
  function refuse(text) {
    say(text);
    $('again').style.display = 'none';
  }
  $('again').addEventListener('click', () => location.reload());

  // Keys belong to whatever has the focus. The show's keys reach the program
  // only while the picture has it, and there they must not scroll the page;
  // every other key, and every key in a field, is the browser's and the
  // field's (Tab moves the focus, Backspace deletes). The program listens on
  // the window and cancels what it takes, so the key listeners it adds are
  // wrapped to hear only what sortKey lets through; the field still gets
  // every key. Releases always pass, so a key held while the focus moves
  // away is not left down in the program.
  const showKeys = new Set([' ', 'ArrowRight', 'PageDown', 'PageUp', '.', 'h', 'H', 'Escape', '-', '=', '+']);
  const forShow = (event) => document.activeElement === canvas && showKeys.has(event.key) &&
    !event.ctrlKey && !event.altKey && !event.metaKey;
  const sortKey = (event) => {
    if (forShow(event)) event.preventDefault();
  };
  window.addEventListener('keydown', sortKey, true);
  window.addEventListener('keypress', sortKey, true);
  const addListener = window.addEventListener.bind(window);
  const removeListener = window.removeEventListener.bind(window);
  const wrapped = new Map();
  const heard = (type, listener) => {
    if ((type !== 'keydown' && type !== 'keypress') || typeof listener !== 'function') return listener;
    if (!wrapped.has(listener)) wrapped.set(listener, (event) => { if (forShow(event)) listener(event); });
    return wrapped.get(listener);
  };
  window.addEventListener = (type, listener, options) => addListener(type, heard(type, listener), options);
  window.removeEventListener = (type, listener, options) => removeListener(type, heard(type, listener), options);
  // The program's own pointer listeners may cancel the press that would
  // give the picture the focus.
  canvas.addEventListener('pointerdown', () => canvas.focus());
  canvas.focus();

  const exported = (name) => () => (state.started ? Module['_vorpane_' + name]() : 0);
  window.vorpane = {
    frame: exported('frame'),
    presented: exported('presented'),
    paused: () => exported('paused')() === 1,
    hud: () => exported('hud')() === 1,
    rank: exported('rank'),
    ended: () => state.ended,
    error: () => state.error,
    firstFrameMs: () => state.firstFrameMs,
    // Texts the program has checked, and good ones played, since the page opened.
    checks: () => state.checks,
    edits: () => state.edits,
    // When the last change to the text came, when the program played the
    // last good one (performance.now()), and the frames presented by then.
    editedAt: () => state.editedAt,
    playedAt: () => state.playedAt,
    playedPresented: () => state.playedPresented,
    editor: null,
  };

  const start = readAddress(location.search);
  if (start.error) {
    state.error = start.error;
    status.textContent = '';
    refuse('This address cannot start the show: ' + start.error + '.');
    return;
  }
  // A rule, not the canvas's own style, which emscripten rewrites. A scaled
  // picture takes the page's width, the editor below it.
  const rule = document.createElement('style');
  rule.textContent = `#canvas { width: ${640 * start.scale}px; }`;
  document.head.appendChild(rule);
  if (start.scale > 1) $('layout').classList.add('stacked');

  // The editor: every change checked by the program after a pause.
  const editor = window.VorpaneEditor.create($('editor'), {
    hint: 'The built-in show. Type a scene file here, or open one.',
    changed: () => {
      state.editedAt = performance.now();
      clearTimeout(state.timer);
      state.timer = setTimeout(() => check(), EDIT_PAUSE_MS);
      kindShown();
    },
  });
  window.vorpane.editor = editor;
  // The name the program gives the text, by its kind.
  const editorName = () => (editor.kind() === 'xml' ? 'editor.xml' : 'editor.toml');
  const kindShown = () => { $('kind').textContent = editorName(); };

  // A mistake in a BulletML file the scene names is listed under its own
  // name, but not marked: its place is in that file, not in the editor.
  function showMistakes(mistakes) {
    const own = mistakes.filter((m) => m.file === editorName());
    mistakesList.replaceChildren(...mistakes.map((m) => {
      const item = document.createElement('li');
      item.textContent = m.line > 0 ? `${m.file}:${m.line}:${m.column}: ${m.message}` : `${m.file}: ${m.message}`;
      if (own.includes(m)) item.addEventListener('click', () => editor.goTo(m.line, m.column));
      return item;
    }));
    editor.mark(own);
  }

  // The editor's text handed to the program: its mistakes marked and
  // listed, or, when it has none, played at the frame on screen and written
  // into the address.
  function check() {
    if (!state.started || state.ended) {
      state.pending = true;
      return;
    }
    const text = editor.text();
    const name = editorName();
    Module.FS.writeFile(name, text);
    const count = Module.ccall('vorpane_edit_scene', 'number', ['string'], [name]);
    if (count < 0) return;
    ++state.checks;
    const mistakes = [];
    for (let i = 0; i < count; ++i) {
      mistakes.push({
        file: Module.ccall('vorpane_mistake_file', 'string', ['number'], [i]),
        line: Module.ccall('vorpane_mistake_line', 'number', ['number'], [i]),
        column: Module.ccall('vorpane_mistake_column', 'number', ['number'], [i]),
        message: Module.ccall('vorpane_mistake_message', 'string', ['number'], [i]),
      });
    }
    showMistakes(mistakes);
    if (count > 0) {
      verdict.className = '';
      verdict.textContent = `${count} mistake${count > 1 ? 's' : ''}; the scene before plays on.`;
      return;
    }
    ++state.edits;
    state.playedAt = performance.now();
    state.playedPresented = window.vorpane.presented();
    report.textContent = '';
    verdict.className = 'good';
    verdict.textContent = 'No mistakes: playing this text.';
    rankButtons();
    const named = [];
    for (let i = 0; i < Module._vorpane_named_files(); ++i) named.push(Module.ccall('vorpane_named_file', 'string', ['number'], [i]));
    if (named.length > 0) noAddress(named);
    else writeAddress(text);
  }

  // The address after a good change: the fragment holds the text; the
  // start frame and the named scene are the old start's, so they go.
  let addressTurn = 0;
  const keptSearch = () => {
    const kept = new URLSearchParams();
    for (const [name, value] of new URLSearchParams(location.search)) {
      if (name === 'scale' || name === 'rank') kept.append(name, value);
    }
    return kept.toString() ? '?' + kept.toString() : '';
  };
  // A scene that names BulletML files: the address would carry its text
  // without them, so it carries none, and the page says why. Even a scene
  // naming only shipped files makes no link: the site's files may change
  // under an address, which would then play another scene than the one
  // shared.
  function noAddress(named) {
    ++addressTurn;
    history.replaceState(null, '', location.pathname + keptSearch());
    share.textContent = `This scene names ${named.length === 1 ? 'the BulletML file' : 'the BulletML files'} ` +
      `${named.join(', ')}, and an address carries one text, so the address does not carry this scene: ` +
      'download it and send it with the files it names.';
  }
  function writeAddress(text) {
    const turn = ++addressTurn;
    packText(text).then((code) => {
      if (turn !== addressTurn) return;
      const search = keptSearch();
      const address = location.origin + location.pathname + search + '#scene=' + code;
      if (address.length > ADDRESS_MAX) {
        history.replaceState(null, '', location.pathname + search);
        share.textContent = `This scene makes an address of ${address.length} characters, more than the ` +
          `${ADDRESS_MAX} an address may hold, so the address does not carry it: download it and send the file.`;
        return;
      }
      history.replaceState(null, '', location.pathname + search + '#scene=' + code);
      share.textContent = '';
    }, () => {});
  }
  // Another address typed into the bar of this page opens it.
  window.addEventListener('hashchange', () => location.reload());

  const fetchBytes = (path) => fetch(path).then((r) => (r.ok ? r.arrayBuffer() : null)).catch(() => null);
  const atlas = fetchBytes('parts.png');
  // The site's scenes: scenes/list.txt names their files, one a line.
  const scenes = fetch('scenes/list.txt').then((r) => (r.ok ? r.text() : ''))
    .then((text) => text.split('\n').filter((file) => file !== ''), () => []);
  const bare = (file) => file.replace(/\.(toml|xml)$/, '');
  // Every shipped file's bytes, for the program's /shipped/ (null where one
  // could not be fetched: a scene naming it then says it cannot be read).
  const shipped = scenes.then((files) => Promise.all(files.map((file) => fetchBytes('scenes/' + file).then((bytes) => [file, bytes]))));
  // The files opened into the page, by name, until the program's file
  // system takes them.
  const opened = new Map();
  const keep = (name, bytes) => {
    opened.set(name, bytes);
    if (state.filesReady) Module.FS.writeFile('/opened/' + name, new Uint8Array(bytes));
  };
  scenes.then((files) => {
    $('scene-list').replaceChildren(...files.map((file) => {
      const link = document.createElement('a');
      link.href = '?scene=' + encodeURIComponent(bare(file));
      link.textContent = file;
      // Into the editor, as a change of the text; the address still opens
      // it afresh.
      link.addEventListener('click', (event) => {
        if (event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey) return;
        event.preventDefault();
        fetch('scenes/' + file).then((r) => (r.ok ? r.text() : Promise.reject(new Error(file))))
          .then((text) => { state.fileName = file; editor.setText(text); }, () => {});
      });
      return link;
    }));
  });

  // The scene the address names, or holds: written where main reads it,
  // and into the editor.
  const fragment = /^#scene=(.*)$/.exec(location.hash);
  let scene;
  if (fragment) {
    scene = unpackText(fragment[1]).then((text) => ({ text }),
      (error) => { throw new Error(`the scene in its fragment cannot be read (${error.message || 'not raw DEFLATE'})`); });
  } else if (start.scene) {
    scene = scenes.then((files) => {
      const file = files.find((f) => bare(f) === start.scene || f === start.scene);
      if (!file) throw new Error(`unknown scene "${start.scene}"; the site has ${files.map(bare).join(', ')}`);
      return fetch('scenes/' + file).then((r) => (r.ok ? r.text() : null)).catch(() => null).then((text) => {
        if (text === null) throw new Error(`scene "${start.scene}" could not be fetched`);
        state.fileName = file;
        return { text };
      });
    });
  } else {
    scene = Promise.resolve(null);
  }
  // Refused as soon as it is known; the program is not waited for.
  scene.catch((error) => {
    state.error = error.message;
    refuse('This address cannot start the show: ' + error.message + '.');
  });
  // The editor holds the text the show starts with; no change, so nothing
  // is checked or written into the address until the person edits it.
  const inEditor = scene.then((named) => {
    if (named) {
      editor.view.dispatch({ changes: { from: 0, insert: named.text } });
      clearTimeout(state.timer);
      state.editedAt = null;
    }
    return named;
  }, () => null);

  // The emulation's own start-up notices stay warnings in the console; what
  // the program writes on stderr (a missing atlas, a scene the address gave
  // with mistakes) is shown on the page as well.
  const notice = /^WARNING: using emscripten GL/;
  window.Module = {
    canvas: canvas,
    printErr: (text) => {
      if (notice.test(text)) return console.warn(text);
      console.error(text);
      report.textContent += text + '\n';
    },
    onRuntimeInitialized: () => {
      Promise.all([atlas, scene, inEditor, shipped]).then(([bytes, named, , files]) => {
        // Without the atlas the show says so and draws white squares, as on
        // the desktop.
        if (bytes) Module.FS.writeFile('parts.png', new Uint8Array(bytes));
        Module.FS.mkdir('/shipped');
        Module.FS.mkdir('/opened');
        for (const [file, content] of files) if (content) Module.FS.writeFile('/shipped/' + file, new Uint8Array(content));
        for (const [name, content] of opened) Module.FS.writeFile('/opened/' + name, new Uint8Array(content));
        state.filesReady = true;
        const args = [String(start.startFrame), start.paused ? 'paused' : 'running', start.rank];
        if (named) {
          Module.FS.writeFile(editorName(), named.text);
          args.push(editorName());
        }
        state.started = Module.callMain(args) === 0;
        if (!state.started) return refuse('The scene has mistakes (listed below); the show did not start.');
        rankButtons();
        if (state.pending) check();
      }, () => {});
    },
    onFirstFrame: () => { state.firstFrameMs = performance.now(); },
    onShowEnded: () => {
      state.ended = true;
      say('The show has ended (Escape).');
    },
  };

  // The buttons press the show's keys; the next frame takes them as it
  // takes a key's press.
  const press = (what) => {
    if (state.started && !state.ended) Module.ccall('vorpane_press', 'number', ['string'], [what]);
  };
  for (const what of ['pause', 'step', 'prev-phase', 'next-phase', 'hud', 'rank-down', 'rank-up']) {
    $(what).addEventListener('click', () => press(what));
  }
  // The rank acts on BulletML patterns alone.
  function rankButtons() {
    const patterns = state.started ? Module._vorpane_patterns() > 0 : false;
    $('rank-down').disabled = $('rank-up').disabled = !patterns;
  }

  // A touch (or a pen) aims where it is, as the pointer does; emscripten's
  // GLFW takes only the mouse's moves.
  const aim = (event) => {
    if (event.pointerType === 'mouse' || !state.started) return;
    const box = canvas.getBoundingClientRect();
    const x = (event.clientX - box.left) * canvas.width / box.width;
    const y = (event.clientY - box.top) * canvas.height / box.height;
    if (x >= 0 && y >= 0 && x < canvas.width && y < canvas.height) Module.ccall('vorpane_aim', null, ['number', 'number'], [x, y]);
  };
  canvas.addEventListener('pointerdown', aim);
  canvas.addEventListener('pointermove', aim);

  // A file of the person's, opened or dropped anywhere on the page: kept by
  // its name, for the scenes that name it. When the editor's scene names it,
  // the scene is read again with it (as a save of a named file reloads the
  // scene on the desktop) and the editor keeps the scene; any other file
  // goes into the editor as a change.
  const take = (file) => {
    if (!file) return;
    file.arrayBuffer().then((bytes) => {
      keep(file.name, bytes);
      if (state.started && !state.ended && Module.ccall('vorpane_names', 'number', ['string'], [file.name]) === 1) {
        clearTimeout(state.timer);
        check();
        return;
      }
      state.fileName = file.name;
      editor.setText(new TextDecoder().decode(bytes));
    });
  };
  $('open-file').addEventListener('change', (event) => {
    take(event.target.files[0]);
    event.target.value = '';
  });
  const carriesFiles = (event) => event.dataTransfer && Array.from(event.dataTransfer.types).includes('Files');
  // In the capture phase, so that no listener of the program's takes the drop.
  addListener('dragover', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    document.body.classList.add('dragging');
  }, true);
  addListener('dragleave', (event) => {
    if (event.relatedTarget === null) document.body.classList.remove('dragging');
  }, true);
  addListener('drop', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.stopPropagation();
    document.body.classList.remove('dragging');
    take(event.dataTransfer.files[0]);
  }, true);
  // What the editor holds, saved under the name of the file it came from,
  // or the program's name for it.
  $('download').addEventListener('click', () => {
    const kind = editor.kind();
    let name = state.fileName ? state.fileName.replace(/\.(toml|xml)$/i, '') : 'editor';
    name += kind === 'xml' ? '.xml' : '.toml';
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([editor.text()], { type: kind === 'xml' ? 'application/xml' : 'text/plain' }));
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  });

  setInterval(() => {
    if (!state.started || state.ended) return;
    const paused = window.vorpane.paused();
    $('pause').textContent = paused ? 'Resume' : 'Pause';
    const rank = Module._vorpane_patterns() > 0 ? `, rank ${window.vorpane.rank().toFixed(2)}` : '';
    status.textContent = `frame ${window.vorpane.frame()}${paused ? ', paused' : ''}${rank}`;
  }, 250);

  kindShown();
  const program = document.createElement('script');
  program.src = 'vorpane-web.js';
  document.body.appendChild(program);
})();
