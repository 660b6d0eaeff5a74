// node tests/gift/gift_parser.test.js WORKDIR GIFT-PEGJS ZIBCONV...
//
// GIFT as a parser that no one here wrote reads it: zibconv exports a
// generated set of every kind (hostile texts, line breaks, blanks, the JIS
// forms of other systems, branches, lines that cannot play as their kind)
// to GIFT, and gift-pegjs (tools/setup.sh installs it outside the
// repository) parses the file. Each question must have the type, title,
// text and choices (which one is right) that the set gives it, and each
// top-level problem its category.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const childProcess = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const [work, parserPath, ...zibconv] = process.argv.slice(2);

// A small linear congruential source, so that every run makes the same set.
function chance(seed) {
    let state = seed;
    return () => {
        state = (state * 1103515245 + 12345) % 2147483648;
        return state / 2147483648;
    };
}

const random = chance(20261210);
const pick = (items) => items[Math.floor(random() * items.length)];
const pieces = (parts, most) => Array.from({ length: 1 + Math.floor(random() * most) }, () => pick(parts)).join('');

// What a player reads: kana, kanji, widths, GIFT's and HTML's characters,
// Moodle's weights and formats, and the JIS forms (〜 − ‖) that load as
// code page 932's ～ － ∥. No "-": GIFT cannot hold "->" in a short answer.
const SAFE = ['ア', 'イ', 'カ', '漢', '字', 'Ａ', 'a', '1'];
const HOSTILE = ['<b>', '&amp;', ']]>', '{', '}', '=', '~', '#', ':', '\\', '%5%', '[html]', '//', '"', "'", '<br>',
    '～', '－', '∥', '\u301C', '\u2212', '\u2016', ' ', '\u3000'];
const PARTS = [...SAFE, ...SAFE, ...HOSTILE];
const BLANKS = [' ', '\u3000', '\n', ' \n '];
const text = (most) => pieces(PARTS, most);
const withBreaks = (most) => (random() < 0.2 ? `${text(most)}\n${text(most)}` : text(most));
const maybeBlank = (made, odds) => (random() < odds ? pick(BLANKS) : made);
const isBlank = (t) => /^[ \u3000\t\r\n]*$/.test(t);
// ox answers with the side they play as: true ○, false ×, null neither.
const OX_ANSWERS = [['○', true], ['ｏ', true], ['〇', true], ['×', false], ['X', false], ['はい', null], ['%5%', null]];

// One line: its kind, its fields, and what GIFT must make of it.
function line(kind) {
    const fields = {};
    const expect = {};
    if (kind === 'ox') {
        const [answer, side] = pick(OX_ANSWERS);
        fields.question = [withBreaks(4)];
        fields.answer = [maybeBlank(answer, 0.1)];
        expect.isTrue = side;
    } else if (kind === 'yontaku' || kind === 'rensou') {
        if (kind === 'rensou')
            fields.hint = [1, 2, 3, 4].map(() => maybeBlank(withBreaks(3), 0.2));
        else
            fields.question = [withBreaks(4)];
        fields.answer = [maybeBlank(withBreaks(3), 0.1)];
        fields.dummy = [0, 1, 2].map(() => maybeBlank(withBreaks(3), 0.4));
    } else if (kind === 'narabekae') {
        fields.question = [withBreaks(4)];
        // One character a tile: no breaks or spaces inside, which would be tiles too.
        fields.answer = [maybeBlank(pieces([...SAFE, '<', '&', '{', '#', '\\', '～'], 5), 0.1)];
    } else if (kind === 'panel') {
        fields.question = [withBreaks(4)];
        const answer = pieces(SAFE, 4);
        fields.answer = [maybeBlank(answer, 0.05)];
        expect.plays = random() < 0.7;
        const panels = expect.plays ? [...answer, ...Array.from({ length: 3 }, () => text(2))] : ['Ｑ'];
        fields.panel = Array.from({ length: 10 }, (_, i) => (i < panels.length ? panels[i] : pick(BLANKS)));
    } else {
        fields.question = [withBreaks(4)];
        const answer = pieces(['ア', 'イ', 'カ', '漢'], 3);
        fields.answer = [maybeBlank(answer, 0.05)];
        expect.plays = random() < 0.7;
        const reels = [...answer].map((c) => c + pieces(SAFE, 2));
        if (!expect.plays)
            reels.push('ア');
        fields.reel = Array.from({ length: 6 }, (_, i) => (i < reels.length ? reels[i] : pick(BLANKS)));
    }
    return { kind, fields, expect };
}

const KINDS = ['ox', 'yontaku', 'rensou', 'narabekae', 'panel', 'slot'];
const FIELDS = {
    ox: ['question', 'answer'], yontaku: ['question', 'answer', 'dummy'], rensou: ['hint', 'answer', 'dummy'],
    narabekae: ['question', 'answer'], panel: ['question', 'answer', 'panel'], slot: ['question', 'answer', 'reel'],
};

// Each top-level problem of each kind in turn, with up to two branches
// (a branch keeps its problem's kind in the file).
function generated(count) {
    return Array.from({ length: count }, (_, n) => {
        const kind = KINDS[n % KINDS.length];
        return [line(kind), ...Array.from({ length: Math.floor(random() * 3) }, () => line(kind))];
    });
}

// The quiz file in UTF-8: a line break in a text is one in the file.
function quizFile(problems) {
    const xml = (t) => t.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
    const fieldsOf = ({ kind, fields }) =>
        FIELDS[kind].flatMap((name) => fields[name].map((t) => `<${name}>${xml(t)}</${name}>`)).join('');
    const body = problems.map(([main, ...subs]) =>
        `<${main.kind}><main>${fieldsOf(main)}</main>${subs.map((s) => `<sub>${fieldsOf(s)}</sub>`).join('')}</${main.kind}>`);
    return `<?xml version='1.0' encoding='UTF-8'?>\n<root>${body.join('\n')}</root>\n`;
}

// A text as the set holds it once loaded: the JIS forms as code page 932's
// characters; compared without the spaces and breaks around it, which
// Moodle and the parser trim.
const held = (t) => t.replace(/\u301C/g, '\uFF5E').replace(/\u2212/g, '\uFF0D').replace(/\u2016/g, '\u2225').trim();
// HTML as the reader sees it.
const REFERENCES = { '&lt;': '<', '&gt;': '>', '&amp;': '&', '&#37;': '%', '&#91;': '[' };
const shown = (html) => html.replace(/<br>/g, '\n').replace(/&(lt|gt|amp|#37|#91);/g, (r) => REFERENCES[r]).trim();
const listItems = (html) => (html === undefined ? [] : html.split('</li>').filter((i) => i !== '').map((i) => shown(i.replace(/^<li>/, ''))));

// The question's text: the question, the hints (<ol>), the tiles or reels (<ul>).
function stemParts(stem) {
    // An empty text is written without its format.
    assert.equal(stem.format, stem.text === '' ? 'moodle' : 'html');
    const found = stem.text.match(/^([\s\S]*?)(?:<ol>([\s\S]*)<\/ol>)?(?:<ul>([\s\S]*)<\/ul>)?$/);
    return { question: shown(found[1]), hints: listItems(found[2]), listed: listItems(found[3]) };
}

const sorted = (t) => [...t].sort().join('');
// A list as Open fills it: an entry of XML whitespace alone is no text, and
// the entries after it close up.
const isXmlSpace = (t) => /^[ \t\r\n]*$/.test(t);
const closedUp = (list) => [...list.filter((t) => !isXmlSpace(t)), ...list.filter(isXmlSpace)];

function checkLine(question, number, { kind, fields, expect }) {
    const where = `line ${number} (${kind}) ${JSON.stringify(fields)}`;
    assert.equal(question.title, String(number), where);
    const answer = fields.answer[0];
    const wrong = (fields.dummy || []).filter((t) => !isBlank(t));
    const type = isBlank(answer) ? 'Essay'
        : kind === 'ox' ? (expect.isTrue === null ? 'Short' : 'TF')
        : kind === 'yontaku' || kind === 'rensou' ? (wrong.length ? 'MC' : 'Short')
        : 'Short';
    assert.equal(question.type, type, where);
    const parts = stemParts(question.stem);
    assert.equal(parts.question, fields.question ? held(fields.question[0]) : '', where);
    assert.deepEqual(parts.hints, closedUp(fields.hint || []).map(held), where);
    if (type === 'TF')
        assert.equal(question.isTrue, expect.isTrue, where);
    if (type === 'MC') {
        assert.deepEqual(question.choices.map((c) => [shown(c.text.text), c.isCorrect, c.weight ?? 0]),
            [[held(answer), true, 0], ...wrong.map((t) => [held(t), false, 0])], where);
    }
    if (type === 'Short') {
        assert.equal(question.choices.length, 1, where);
        assert.equal(question.choices[0].isCorrect, true, where);
        assert.ok([null, 100].includes(question.choices[0].weight), where);
        // A short answer is plain: compared with what the student types.
        assert.equal(question.choices[0].text.text.trim(), held(answer), where);
    }
    // What the player works with where the line plays as its kind.
    let listed = [];
    if (type === 'Short' && kind === 'narabekae')
        listed = [sorted(held(answer))];
    if (type === 'Short' && kind === 'panel' && expect.plays)
        listed = fields.panel.filter((t) => !isBlank(t)).map(held).sort();
    if (type === 'Short' && kind === 'slot' && expect.plays)
        listed = closedUp(fields.reel).map((t, i) => [t, i]).filter(([t]) => !isBlank(t)).map(([t, i]) => `リール ${i + 1}: ${held(t)}`);
    const got = kind === 'narabekae' && parts.listed.length ? [sorted(parts.listed.join(''))]
        : kind === 'panel' ? [...parts.listed].sort() : parts.listed;
    assert.deepEqual(got, listed, where);
}

test('gift-pegjs reads every line of the GIFT file as the set has it', (t) => {
    let parser;
    try {
        parser = require(parserPath);
    } catch (error) {
        assert.fail(`gift-pegjs is not installed at ${parserPath} (tools/setup.sh installs it): ${error.message}`);
    }
    fs.mkdirSync(work, { recursive: true });
    const problems = generated(300);
    fs.writeFileSync(path.join(work, 'gift.xml'), quizFile(problems));
    const exported = childProcess.spawnSync(zibconv[0], [...zibconv.slice(1), 'export', 'gift.xml', 'gift.gift', '--force'],
        { cwd: work, timeout: 60000 });
    assert.equal(exported.status, 0, String(exported.stderr));
    const bytes = fs.readFileSync(path.join(work, 'gift.gift'));
    assert.notEqual(bytes[0], 0xEF, 'the file starts with a byte-order mark');
    assert.ok(!bytes.includes(0x0D), 'the file holds a carriage return');
    const questions = parser.parse(bytes.toString('utf8'));

    let at = 0;
    let number = 0;
    const kinds = new Set();
    for (const [main, ...subs] of problems) {
        const category = questions[at++];
        assert.deepEqual([category.type, category.title], ['Category', `gift/${number + 1}`]);
        for (const one of [main, ...subs]) {
            checkLine(questions[at++], ++number, one);
            kinds.add(`${one.kind} ${questions[at - 1].type}`);
        }
    }
    assert.equal(questions.length, at);
    t.diagnostic(`${number} lines, as ${[...kinds].sort().join(', ')}`);
});
