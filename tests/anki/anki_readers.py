#!/usr/bin/env python3
"""python3 tests/anki/anki_readers.py WORKDIR MNEMOSYNE ANKI-READER ZIBCONV...

Anki decks as readers that no one here wrote read them: zibconv exports a
generated set of every kind (hostile texts, line breaks, blanks, branches,
compatibility ideographs, lines that cannot play as their kind) to a
package, and

- mnemosyne (its Debian package unpacked by tools/setup.sh; its Anki
  importer run headless) imports it: the number of cards, each note's
  fields and note type, the deck and branch tags, and the association's
  hints 2-4 rendered click-to-reveal;
- anki-reader (npm, pinned, tools/setup.sh) lists its decks, cards, fields
  and note types (anki_reader.mjs);
- Python's sqlite3 reads the collection: schema 11's tables and columns,
  each note's checksum as Anki computes it, unique GUIDs, the sort field.

Texts are compared with Python's own NFC (unicodedata), not ours. Two
exports give the same GUIDs, and the same bytes at the same time.
"""

import hashlib
import html
import json
import os
import random
import re
import sqlite3
import subprocess
import sys
import unicodedata
import zipfile

work, mnemosyne_root, reader_dir, *zibconv = sys.argv[1:]
os.makedirs(work, exist_ok=True)
chance = random.Random(20261210)

SAFE = ['ア', 'イ', 'カ', '漢', '字', 'Ａ', 'a', '1']
# HTML's, templates' and Anki's own characters; code page 932's
# characters whose NFC is another (Å U+212B, 塚 U+FA10, 﨑 U+FA11 stays);
# a kana followed by the spacing voiced mark, which NFC leaves as it is.
HOSTILE = ['<script>', '</div>', '{{', '}}', '{{hint:x}}', '&', '&amp;', '"', "'", '<br>', '\x1f'.replace('\x1f', '::'),
           '\u212B', '\uFA10', '\uFA11', '\uF929', 'か゛', '～', ' ', '\u3000']
PARTS = SAFE * 2 + HOSTILE
BLANKS = [' ', '\u3000', '\n', ' \n ']
OX_ANSWERS = [('○', True), ('ｏ', True), ('〇', True), ('×', True), ('X', True), ('はい', False), ('%5%', False)]


def text(most):
    return ''.join(chance.choice(PARTS) for _ in range(1 + chance.randrange(most)))


def with_breaks(most):
    return f'{text(most)}\n{text(most)}' if chance.random() < 0.2 else text(most)


def maybe_blank(made, odds):
    return chance.choice(BLANKS) if chance.random() < odds else made


def is_blank(t):
    return re.fullmatch(r'[ \u3000\t\r\n]*', t) is not None


def line(kind):
    fields, plays = {}, True
    if kind == 'ox':
        answer, plays = chance.choice(OX_ANSWERS)
        fields['question'] = [with_breaks(4)]
        fields['answer'] = [maybe_blank(answer, 0.1)]
    elif kind in ('yontaku', 'rensou'):
        if kind == 'rensou':
            fields['hint'] = [maybe_blank(with_breaks(3), 0.2) for _ in range(4)]
        else:
            fields['question'] = [with_breaks(4)]
        fields['answer'] = [maybe_blank(with_breaks(3), 0.1)]
        fields['dummy'] = [maybe_blank(with_breaks(3), 0.4) for _ in range(3)]
    elif kind == 'narabekae':
        fields['question'] = [with_breaks(4)]
        fields['answer'] = [maybe_blank(''.join(chance.choice(SAFE + ['<', '&', '{', '塚']) for _ in range(1 + chance.randrange(5))), 0.1)]
    elif kind == 'panel':
        fields['question'] = [with_breaks(4)]
        answer = ''.join(chance.choice(SAFE) for _ in range(1 + chance.randrange(4)))
        fields['answer'] = [maybe_blank(answer, 0.05)]
        plays = chance.random() < 0.7
        panels = list(answer) + [text(2) for _ in range(3)] if plays else ['Ｑ']
        fields['panel'] = [panels[i] if i < len(panels) else chance.choice(BLANKS) for i in range(10)]
    else:
        fields['question'] = [with_breaks(4)]
        answer = ''.join(chance.choice('アイカ漢') for _ in range(1 + chance.randrange(3)))
        fields['answer'] = [maybe_blank(answer, 0.05)]
        plays = chance.random() < 0.7
        reels = [c + ''.join(chance.choice(SAFE) for _ in range(chance.randrange(3))) for c in answer]
        if not plays:
            reels.append('ア')
        fields['reel'] = [reels[i] if i < len(reels) else chance.choice(BLANKS) for i in range(6)]
    plays = plays and not is_blank(fields['answer'][0])
    if kind == 'yontaku':
        plays = plays and any(not is_blank(t) for t in fields['dummy'])
    return {'kind': kind, 'fields': fields, 'plays': plays}


KINDS = ['ox', 'yontaku', 'rensou', 'narabekae', 'panel', 'slot']
NAMES = {'ox': 'ox', 'yontaku': '四択', 'rensou': '連想', 'narabekae': '並べ替え', 'panel': '文字パネル', 'slot': 'スロット'}
FIELDS = {'ox': ['question', 'answer'], 'yontaku': ['question', 'answer', 'dummy'], 'rensou': ['hint', 'answer', 'dummy'],
          'narabekae': ['question', 'answer'], 'panel': ['question', 'answer', 'panel'], 'slot': ['question', 'answer', 'reel']}
COUNTS = {'question': 1, 'answer': 1, 'dummy': 3, 'hint': 4, 'panel': 10, 'reel': 6}
LABELS = {'question': '問題', 'answer': '答え', 'dummy': '選択肢', 'hint': 'ヒント', 'panel': 'パネル', 'reel': 'リール'}


def generated(count):
    return [[line(KINDS[n % 6])] + [line(KINDS[n % 6]) for _ in range(chance.randrange(3))] for n in range(count)]


def quiz_file(problems):
    def xml(t):
        return t.replace('&', '&amp;').replace('<', '&lt;').replace('>', '&gt;')

    def fields_of(one):
        return ''.join(f'<{name}>{xml(t)}</{name}>' for name in FIELDS[one['kind']] for t in one['fields'][name])
    body = [f"<{main['kind']}><main>{fields_of(main)}</main>" + ''.join(f'<sub>{fields_of(s)}</sub>' for s in subs) +
            f"</{main['kind']}>" for main, *subs in problems]
    return "<?xml version='1.0' encoding='UTF-8'?>\n<root>" + '\n'.join(body) + '</root>\n'


def closed_up(texts):
    # Open drops an entry of XML white space alone; the entries after it close up.
    space = [t for t in texts if re.fullmatch(r'[ \t\r\n]*', t)]
    return [t for t in texts if t not in space] + [' '] * len(space)


def field(t):
    """A text as the note's field must hold it: NFC, escaped, <br> breaks."""
    if is_blank(t):
        return ''
    escaped = html.escape(unicodedata.normalize('NFC', t), quote=False).replace('"', '&quot;')
    return escaped.replace('{', '&#123;').replace('}', '&#125;').replace('\r\n', '<br>').replace('\n', '<br>')


def kind_fields(one):
    texts = []
    for name in FIELDS[one['kind']]:
        entries = one['fields'][name] + [' '] * (COUNTS[name] - len(one['fields'][name]))
        texts += closed_up(entries) if COUNTS[name] > 1 else entries
    return [field(t) for t in texts]


def field_names(kind):
    names = []
    for name in FIELDS[kind]:
        names += [LABELS[name]] if COUNTS[name] == 1 else [f'{LABELS[name]} {i + 1}' for i in range(COUNTS[name])]
    return names + ([] if kind == 'rensou' else ['並び']) + ['行']


def items(shown, css):
    found = re.fullmatch(rf'<ul class="{css}">((?:<li>.*?</li>)*)</ul>', shown)
    assert found, shown
    return re.findall(r'<li>(.*?)</li>', found.group(1))


def check_shown(one, kind_texts, shown, where):
    """What the player works with, in the note's 並び field."""
    kind = one['kind']
    if not one['plays']:
        assert shown == '', where
        return
    if kind == 'ox':
        assert items(shown, 'zib-choices zib-ox') == ['○', '×'], where
    elif kind == 'yontaku':
        expected = [kind_texts[1]] + [t for t in kind_texts[2:5] if t]
        assert sorted(items(shown, 'zib-choices')) == sorted(expected), where
    elif kind == 'narabekae':
        tiles = items(shown, 'zib-tiles')
        answer = field(one['fields']['answer'][0].strip(' \u3000\n'))
        assert ''.join(sorted(tiles)) == ''.join(sorted(re.findall(r'&[^;]+;|.', answer))), where
        if len(set(tiles)) > 1:
            assert ''.join(tiles) != answer, f'{where}: the tiles give the answer away'
    elif kind == 'panel':
        assert sorted(items(shown, 'zib-tiles')) == sorted(t for t in kind_texts[2:12] if t), where
    elif kind == 'slot':
        reels = [f'リール {i + 1}: {t}' for i, t in enumerate(kind_texts[2:8]) if t]
        assert items(shown, 'zib-reels') == reels, where


def expected_notes(problems):
    notes, number = [], 0
    for main, *subs in problems:
        first = number + 1
        for one in [main, *subs]:
            number += 1
            notes.append({'line': number, 'one': one, 'type': 'ZIB ' + NAMES[one['kind']],
                          'tags': [f'分岐::{first}'] if subs else [], 'kind_fields': kind_fields(one)})
    return notes


def export(name, epoch):
    environment = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    done = subprocess.run([*zibconv, 'export', 'anki.xml', name, '--force'], cwd=work, env=environment,
                          capture_output=True, timeout=120)
    assert done.returncode == 0, done.stderr
    return os.path.join(work, name)


def check_collection(path, notes):
    """The collection as SQLite reads it."""
    with zipfile.ZipFile(path) as package:
        assert sorted(package.namelist()) == ['collection.anki2', 'media'], package.namelist()
        assert json.loads(package.read('media')) == {}
        collection = os.path.join(work, 'collection.anki2')
        with open(collection, 'wb') as out:
            out.write(package.read('collection.anki2'))
    db = sqlite3.connect(collection)
    columns = {table: [row[1] for row in db.execute(f'pragma table_info({table})')]
               for (table,) in db.execute("select name from sqlite_master where type = 'table'")}
    assert columns == {
        'col': ['id', 'crt', 'mod', 'scm', 'ver', 'dty', 'usn', 'ls', 'conf', 'models', 'decks', 'dconf', 'tags'],
        'notes': ['id', 'guid', 'mid', 'mod', 'usn', 'tags', 'flds', 'sfld', 'csum', 'flags', 'data'],
        'cards': ['id', 'nid', 'did', 'ord', 'mod', 'usn', 'type', 'queue', 'due', 'ivl', 'factor', 'reps', 'lapses',
                  'left', 'odue', 'odid', 'flags', 'data'],
        'revlog': ['id', 'cid', 'usn', 'ease', 'ivl', 'lastIvl', 'factor', 'time', 'type'],
        'graves': ['usn', 'oid', 'type']}, columns
    assert db.execute('select ver from col').fetchone() == (11,)
    assert db.execute('pragma page_size').fetchone() == (4096,)
    assert db.execute('pragma encoding').fetchone() == ('UTF-8',)
    rows = db.execute('select guid, flds, sfld, csum, tags from notes order by id').fetchall()
    assert len(rows) == len(notes)
    for (guid, flds, sfld, csum, tags), note in zip(rows, notes):
        first = flds.split('\x1f')[0]
        stripped = html.unescape(re.sub(r'<.*?>', '', first))
        assert csum == int(hashlib.sha1(stripped.encode()).hexdigest()[:8], 16), (note['line'], first)
        assert sfld == note['line'] and tags.split() == note['tags'], (note['line'], sfld, tags)
    guids = [row[0] for row in rows]
    assert len(set(guids)) == len(guids), 'two notes share a GUID'
    assert all(len(g) <= 10 for g in guids)
    return guids


def mnemosyne_import(path, notes, set_name):
    """mnemosyne's Anki importer, headless, and its rendering of each card."""
    sys.path.insert(0, os.path.join(mnemosyne_root, 'usr/lib/python3/dist-packages'))
    import warnings
    warnings.simplefilter('ignore')
    from mnemosyne.script import Mnemosyne
    data = os.path.join(work, 'mnemosyne')
    subprocess.run(['rm', '-rf', data], check=True)
    program = Mnemosyne(data)
    try:
        importer = next(f for f in program.component_manager.all('file_format') if type(f).__name__ == 'Anki2')
        importer.do_import(path)
        db = program.database()
        assert db.card_count() == len(notes), (db.card_count(), len(notes))
        by_line = {}
        for (internal,) in db.con.execute('select _id from cards'):
            card = db.card(internal, is_id_internal=True)
            by_line[int(fields_of(card)[-1])] = card
        for note in notes:
            card = by_line[note['line']]
            one = note['one']
            where = f"line {note['line']} {json.dumps(one, ensure_ascii=False)}"
            fields = fields_of(card)
            assert card.card_type.name == note['type'], where
            assert [name for _, name in card.card_type.fact_keys_and_names] == field_names(one['kind']), where
            kind_texts = fields[:len(note['kind_fields'])]
            assert kind_texts == note['kind_fields'], f'{where}\n{kind_texts}\n{note["kind_fields"]}'
            assert fields[-1] == str(note['line']), where
            if one['kind'] != 'rensou':
                check_shown(one, kind_texts, fields[-2], where)
            assert sorted(t.name for t in card.tags) == sorted(note['tags'] + [set_name]), where
            question = card.question(render_chain='default')
            answer = card.answer(render_chain='default')
            assert 'unknown field' not in question + answer, where
            if one['kind'] == 'rensou':
                # Hint 1 shown; each further one behind a link (a blank one too:
                # mnemosyne's fields are never empty once it has styled them).
                hidden = re.findall(r'<a class=hint href="#"[^>]*>[^<]*</a><div id="[^"]+" class=hint '
                                    r'style="display: none">(.*?)</div>', question, re.S)
                assert [strip_spans(h) for h in hidden] == kind_texts[1:4], f'{where}\n{question}'
                assert kind_texts[0] in strip_spans(question.split('class=hint', 1)[0]), where
            shown_answer = kind_texts[field_names(one['kind']).index('答え')]
            assert f'<div class="zib-answer">{shown_answer}</div>' in strip_spans(answer), f'{where}\n{answer}'
        return len(by_line)
    finally:
        program.finalise()


def fields_of(card):
    # mnemosyne keeps no empty fields.
    return [card.fact.data.get(key, '') for key, _ in card.card_type.fact_keys_and_names]


def strip_spans(rendered):
    return re.sub(r'</?span[^>]*>', '', rendered)


def anki_reader(path, notes, set_name):
    expected = {'deck': set_name, 'cards': [{'type': n['type'], 'line': str(n['line']), 'kind_fields': n['kind_fields'],
                                             'names': field_names(n['one']['kind'])}
                                            for n in notes]}
    with open(os.path.join(work, 'expected.json'), 'w') as out:
        json.dump(expected, out, ensure_ascii=False)
    done = subprocess.run(['node', os.path.join(os.path.dirname(os.path.abspath(__file__)), 'anki_reader.mjs'),
                           path, os.path.join(work, 'expected.json'), reader_dir],
                          capture_output=True, text=True, timeout=300)
    assert done.returncode == 0, done.stdout + done.stderr
    return done.stdout.strip()


def main():
    problems = generated(int(os.environ.get('ZIB_ANKI_PROBLEMS', '300')))
    with open(os.path.join(work, 'anki.xml'), 'w', encoding='utf-8') as out:
        out.write(quiz_file(problems))
    notes = expected_notes(problems)
    first = export('anki.apkg', 1765000000)
    again = export('again.apkg', 1765000000)
    later = export('later.apkg', 1767000000)
    with open(first, 'rb') as a, open(again, 'rb') as b:
        assert a.read() == b.read(), 'two exports at one time differ'
    guids = check_collection(first, notes)
    assert check_collection(later, notes) == guids, 'a later export has other GUIDs'
    print(f'sqlite: {len(notes)} notes, schema and checksums as Anki has them')
    print(f'mnemosyne: {mnemosyne_import(first, notes, "anki")} cards read back')
    print(f'anki-reader: {anki_reader(first, notes, "anki")}')


main()
