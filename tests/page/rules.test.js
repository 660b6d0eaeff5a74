// The page's play rules by themselves (zibconv/page/rules.js), run by
// Node's own test runner: node --test tests/page/
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const rules = require(path.join(__dirname, '..', '..', 'zibconv', 'page', 'rules.js'));

// A source of chance that repeats `values`.
function sequence(...values) {
    let at = 0;
    return () => values[at++ % values.length];
}

test('characters: a code point with its marks, a half-width voiced mark with its kana', () => {
    const cases = [
        ['abc', ['a', 'b', 'c']],
        ['ｶﾞｷﾟｸ', ['ｶﾞ', 'ｷﾟ', 'ｸ']],
        ['か\u3099ﾞ', ['か\u3099ﾞ']],
        ['e\u0301x', ['e\u0301', 'x']],
        ['a\nb', ['a', '\n', 'b']],
        ['𠮷野', ['𠮷', '野']],
        ['', []],
    ];
    for (const [text, characters] of cases)
        assert.deepEqual(rules.characters(text), characters, text);
});

test('folding: width folded, case kept, surrounding spaces dropped; the search folds case too', () => {
    assert.equal(rules.folded('　ＡＢＣｶﾞ \n'), 'ABCガ');
    assert.equal(rules.folded('abc'), 'abc');
    assert.equal(rules.searchKey('ＡＢＣ ｶﾅ'), 'abc カナ');
    assert.ok(rules.isBlank(' \u3000\r\n\t'));
    assert.ok(!rules.isBlank(' x '));
});

test('ox answers: circles and crosses in every form, anything else is none', () => {
    for (const circle of ['○', '〇', '◯', 'o', 'O', 'ｏ', 'Ｏ', ' ○ '])
        assert.equal(rules.oxAnswer(circle), 'o', circle);
    for (const cross of ['×', '✕', '✖', '☓', 'x', 'X', 'ｘ', 'Ｘ'])
        assert.equal(rules.oxAnswer(cross), 'x', cross);
    for (const other of ['', ' ', 'はい', 'oo', '△', '0'])
        assert.equal(rules.oxAnswer(other), null, other);
});

test('shuffles keep every item and follow the source of chance', () => {
    const items = ['a', 'b', 'c', 'd', 'e'];
    for (const value of [0, 0.3, 0.99]) {
        const shuffled = rules.shuffled(items, () => value);
        assert.deepEqual([...shuffled].sort(), items);
    }
    assert.deepEqual(rules.shuffled(items, () => 0.999), items);
    assert.notDeepEqual(rules.shuffled(items, () => 0), items);
    // An order other than the answer's, even when chance first gives it back.
    assert.notDeepEqual(rules.scrambled(['a', 'b'], sequence(0.99, 0)), ['a', 'b']);
    assert.deepEqual(rules.scrambled(['a', 'a'], () => 0), ['a', 'a']);
});

test('panels spell an answer when it is a run of panels, each used at most once', () => {
    const cases = [
        ['ABC', ['A', 'B', 'C'], true],
        ['ABC', ['C', 'AB', 'x'], true],
        ['ABC', ['A', 'BC', 'B'], true],
        ['AAB', ['A', 'B'], false],
        ['AAB', ['A', 'A', 'B'], true],
        ['ABC', ['AC', 'B'], false],
        ['ガス', ['ｶﾞ', 'ｽ'], true],
        ['ＡＢ', ['A', 'B', ' '], true],
        ['AB', ['a', 'b'], false],
        ['', ['A'], false],
        ['A', [' ', '　'], false],
    ];
    for (const [answer, panels, spelled] of cases)
        assert.equal(rules.panelsSpell(answer, panels), spelled, `${answer} ${panels}`);
});

test('reels give an answer of one character per non-blank reel, each on its reel', () => {
    const cases = [
        ['ABC', ['xA', 'By', 'zC'], true],
        ['ABC', ['xA', ' ', 'By', 'zC', ' ', ' '], true],
        ['ABC', ['A', 'C', 'B'], false],
        ['AB', ['A', 'B', 'C'], false],
        ['ガス', ['ｶﾞ', 'ｽｾ'], true],
        ['ガス', ['ｶ', 'ｽ'], false],
        ['', [' '], false],
    ];
    for (const [answer, reels, given] of cases)
        assert.equal(rules.reelsGive(answer, reels), given, `${answer} ${reels}`);
});

test('every kind plays as its texts allow, and otherwise by revealing the answer', () => {
    const random = () => 0.5;
    const plan = (kind, fields) => rules.playPlan(kind, fields, random);
    const blank = ' ';

    const ox = plan('ox', { question: ['q'], answer: ['×'] });
    assert.equal(ox.mode, 'choice');
    assert.deepEqual(ox.choices, ['○', '×']);
    assert.equal(ox.correct, 1);
    assert.equal(plan('ox', { question: ['q'], answer: ['はい'] }).mode, 'reveal');

    const four = plan('yontaku', { question: ['q'], answer: ['A'], dummy: ['B', blank, 'C'] });
    assert.equal(four.mode, 'choice');
    assert.deepEqual([...four.choices].sort(), ['A', 'B', 'C']);
    assert.equal(four.choices[four.correct], 'A');
    assert.equal(plan('yontaku', { question: ['q'], answer: ['A'], dummy: [blank, blank, blank] }).mode, 'reveal');
    assert.equal(plan('yontaku', { question: ['q'], answer: [blank], dummy: ['B', 'C', 'D'] }).mode, 'reveal');

    const association = plan('rensou', { hint: ['h1', blank, 'h3', blank], answer: ['A'], dummy: ['B', 'C', 'D'] });
    assert.equal(association.mode, 'choice');
    assert.deepEqual(association.hints, ['h1', 'h3']);
    assert.equal(association.prompt, '');
    assert.equal(association.choices.length, 4);

    const rearrange = plan('narabekae', { question: ['q'], answer: ['ｶﾞｽ台'] });
    assert.equal(rearrange.mode, 'tiles');
    assert.deepEqual([...rearrange.tiles].sort(), ['ｶﾞ', 'ｽ', '台'].sort());
    assert.notDeepEqual(rearrange.tiles, ['ｶﾞ', 'ｽ', '台']);
    assert.equal(rearrange.length, 3);

    const panel = plan('panel', { question: ['q'], answer: ['ABC'], panel: ['C', 'AB', blank, 'x'] });
    assert.equal(panel.mode, 'tiles');
    assert.deepEqual([...panel.tiles].sort(), ['AB', 'C', 'x']);
    assert.equal(panel.length, 3);
    assert.equal(plan('panel', { question: ['q'], answer: ['ABC'], panel: ['A', 'B'] }).mode, 'reveal');

    const slot = plan('slot', { question: ['q'], answer: ['AB'], reel: ['xAx', blank, 'By'] });
    assert.equal(slot.mode, 'reels');
    assert.deepEqual(slot.reels.map((reel) => [...reel].sort()), [['A', 'x'], ['B', 'y']]);
    assert.equal(plan('slot', { question: ['q'], answer: ['AB'], reel: ['A', 'C'] }).mode, 'reveal');
    assert.equal(plan('slot', { question: ['q'], answer: ['ABC'], reel: ['A', 'B'] }).mode, 'reveal');
});

test('an answer is judged after width folding, once as long as the answer', () => {
    assert.ok(rules.isCorrect('ＡＢ', 'AB'));
    assert.ok(rules.isCorrect('ガス', 'ｶﾞｽ'));
    assert.ok(!rules.isCorrect('AB', 'BA'));
    assert.ok(!rules.isCorrect('AB', 'ab'));
    const plan = { length: 2 };
    assert.ok(!rules.isComplete(plan, 'ｶﾞ'));
    assert.ok(rules.isComplete(plan, 'ｶﾞｽ'));
});

test('the order of play keeps each branch after its problem', () => {
    const lines = [
        { line: 1, level: 'main' }, { line: 2, level: 'sub' }, { line: 3, level: 'sub' },
        { line: 4, level: 'main' }, { line: 5, level: 'main' }, { line: 6, level: 'sub' },
    ];
    assert.deepEqual(rules.playOrder(lines, false, () => 0).map((l) => l.line), [1, 2, 3, 4, 5, 6]);
    const shuffled = rules.playOrder(lines, true, () => 0).map((l) => l.line);
    assert.deepEqual(shuffled, [4, 5, 6, 1, 2, 3]);
    for (const value of [0.1, 0.5, 0.9]) {
        const order = rules.playOrder(lines, true, () => value).map((l) => l.line);
        assert.deepEqual([...order].sort(), [1, 2, 3, 4, 5, 6]);
        assert.equal(order.indexOf(2), order.indexOf(1) + 1);
        assert.equal(order.indexOf(3), order.indexOf(1) + 2);
        assert.equal(order.indexOf(6), order.indexOf(5) + 1);
    }
});

test('the search shows matching lines and the parent of a matching branch', () => {
    const key = (text) => rules.searchKey(text);
    const lines = [
        { level: 'main', key: key('東京 ＡＢＣ') },
        { level: 'sub', key: key('カナ') },
        { level: 'main', key: key('大阪') },
        { level: 'sub', key: key('京都') },
        { level: 'main', key: key('abc') },
    ];
    assert.deepEqual(rules.filterLines(lines, ''), [true, true, true, true, true]);
    assert.deepEqual(rules.filterLines(lines, 'abc'), [true, false, false, false, true]);
    assert.deepEqual(rules.filterLines(lines, 'ｶﾅ'), [true, true, false, false, false]);
    assert.deepEqual(rules.filterLines(lines, '京'), [true, false, true, true, false]);
    assert.deepEqual(rules.filterLines(lines, 'ＡＢＣ'), [true, false, false, false, true]);
    assert.deepEqual(rules.filterLines(lines, 'none'), [false, false, false, false, false]);
});

test('the score is told as the page tells it', () => {
    assert.equal(rules.scoreText(36, 24), '36問中24問正解');
});
