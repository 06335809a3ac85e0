// editor.js - the page's one editing surface: line numbers, the colouring of
// a TOML scene or a BulletML file (by the text's kind), the mistakes the
// program found marked where they stand. Bundled by scripts/build-web into
// the site as vorpane-editor.js, which sets window.VorpaneEditor; the page's
// script (vorpane-page.js) does the rest.
//
// Tab is left to the browser, so that it moves the focus as in any field;
// the editor takes every other key a text field takes. A text arrives as
// typed: Enter starts a line without indenting it and no closing tag is
// written for the person, so a file typed or pasted keeps its bytes.
import { defaultKeymap, history, historyKeymap, insertNewline } from '@codemirror/commands';
import { xml } from '@codemirror/lang-xml';
import { HighlightStyle, StreamLanguage, bracketMatching, syntaxHighlighting } from '@codemirror/language';
import { toml } from '@codemirror/legacy-modes/mode/toml';
import { forEachDiagnostic, lintGutter, setDiagnostics } from '@codemirror/lint';
import { Compartment, EditorState } from '@codemirror/state';
import { EditorView, drawSelection, highlightActiveLine, highlightActiveLineGutter, keymap, lineNumbers, placeholder }
  from '@codemirror/view';
import { tags } from '@lezer/highlight';

// What the program reads the text as: BulletML when its first character
// other than white space, after a byte-order mark, is '<' (as the program
// decides), else a TOML scene file.
export function kindOf(text) {
  return /^\uFEFF?\s*</.test(text) ? 'xml' : 'toml';
}

// The colours of the page's dark theme, readable on it.
const colours = HighlightStyle.define([
  { tag: [tags.comment, tags.lineComment], color: '#7f8fa6', fontStyle: 'italic' },
  { tag: [tags.keyword, tags.tagName], color: '#8fc7ff' },
  { tag: [tags.propertyName, tags.attributeName, tags.variableName], color: '#e6c07b' },
  { tag: [tags.string, tags.attributeValue], color: '#98d982' },
  { tag: [tags.number, tags.bool, tags.atom], color: '#f0a0c0' },
  { tag: [tags.heading, tags.meta, tags.processingInstruction, tags.documentMeta], color: '#c6a0f6' },
  { tag: [tags.bracket, tags.angleBracket, tags.punctuation], color: '#9aa4b8' },
]);

const theme = EditorView.theme({
  '&': { color: '#dde', backgroundColor: '#0d0f16', height: '100%' },
  '.cm-content': { caretColor: '#fff', fontFamily: 'ui-monospace, "DejaVu Sans Mono", monospace' },
  '.cm-gutters': { backgroundColor: '#12151f', color: '#67708a', border: 'none' },
  '.cm-activeLine': { backgroundColor: '#ffffff0a' },
  '.cm-activeLineGutter': { backgroundColor: '#ffffff12' },
  '&.cm-focused .cm-cursor': { borderLeftColor: '#fff' },
  '&.cm-focused .cm-selectionBackground, .cm-selectionBackground': { backgroundColor: '#3a4a70 !important' },
  '.cm-scroller': { overflow: 'auto' },
}, { dark: true });

const languages = { toml: StreamLanguage.define(toml), xml: xml({ autoCloseTags: false }) };

// The character offset in `view`'s text of a program's place: a line and a
// column in bytes of UTF-8, both from 1 (line 0: no place, the start). A
// place past the end of its line or of the text is clamped to it.
function offsetOf(doc, line, column) {
  if (line < 1) return 0;
  if (line > doc.lines) return doc.length;
  const text = doc.line(line);
  let bytes = 0, at = 0;
  const encoder = new TextEncoder();
  for (const character of text.text) {
    if (bytes >= column - 1) break;
    bytes += encoder.encode(character).length;
    at += character.length;
  }
  return text.from + at;
}

// A mistake's mark: from its place to the end of the word that starts
// there, an XML tag's name with its bracket (or one character, or nothing
// at a line's end).
function rangeOf(doc, mistake) {
  const from = offsetOf(doc, mistake.line, mistake.column);
  const end = doc.lineAt(from).to;
  let to = from;
  const rest = doc.sliceString(from, end);
  const word = /^(<\/?)?[A-Za-z0-9_.:+\-"$]+/.exec(rest);
  to += word ? word[0].length : Math.min(1, rest.length);
  return { from, to };
}

// Makes the editor in `parent`, holding `text`; `changed(text)` is called on
// every change of the text.
export function create(parent, { text = '', changed = () => {}, hint = '' } = {}) {
  const language = new Compartment();
  let kind = kindOf(text);
  const view = new EditorView({
    parent,
    state: EditorState.create({
      doc: text,
      extensions: [
        lineNumbers(), highlightActiveLineGutter(), lintGutter(), history(), drawSelection(),
        highlightActiveLine(), bracketMatching(), syntaxHighlighting(colours), theme, placeholder(hint),
        EditorView.contentAttributes.of({ 'aria-label': 'scene file', spellcheck: 'false', autocapitalize: 'off' }),
        keymap.of([{ key: 'Enter', run: insertNewline },
                   ...defaultKeymap.filter((binding) => binding.key !== 'Tab' && binding.key !== 'Shift-Tab'),
                   ...historyKeymap]),
        language.of(languages[kind]),
        EditorView.updateListener.of((update) => {
          if (!update.docChanged) return;
          const now = update.state.doc.toString();
          if (kindOf(now) !== kind) {
            kind = kindOf(now);
            view.dispatch({ effects: language.reconfigure(languages[kind]) });
          }
          changed(now);
        }),
      ],
    }),
  });
  return {
    view,
    text: () => view.state.doc.toString(),
    kind: () => kind,
    // Replaces the whole text, as a person's edit would (`changed` is told).
    setText(next) {
      view.dispatch({ changes: { from: 0, to: view.state.doc.length, insert: next } });
    },
    // The program's mistakes ({line, column, message}) marked in the text;
    // an empty list takes every mark away.
    mark(mistakes) {
      const doc = view.state.doc;
      const diagnostics = mistakes.map((m) => ({ ...rangeOf(doc, m), severity: 'error', message: m.message }));
      view.dispatch(setDiagnostics(view.state, diagnostics));
    },
    // The marks standing now, each as the line and column (from 1, in
    // characters) where it begins and ends, and the text it covers.
    marks() {
      const found = [];
      const doc = view.state.doc;
      const place = (offset) => {
        const line = doc.lineAt(offset);
        return { line: line.number, column: offset - line.from + 1 };
      };
      forEachDiagnostic(view.state, (d, from, to) => {
        found.push({ from: place(from), to: place(to), text: doc.sliceString(from, to), message: d.message });
      });
      return found;
    },
    // The cursor at a place of the program's, the editor focused.
    goTo(line, column) {
      const at = offsetOf(view.state.doc, line, column);
      view.dispatch({ selection: { anchor: at }, scrollIntoView: true });
      view.focus();
    },
  };
}
