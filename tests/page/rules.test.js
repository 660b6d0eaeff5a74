// The page's play rules by themselves (zibconv/page/rules.js), run by
// Node's own test runner: node --test tests/page/rules.test.js. What the
// rules are given is what the page writer carries with each line.
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

// A few entries of the table zibconv writes into each page, enough to
// fold the texts below: the whole table is checked against the review's
// folding where zibconv is built (PageWriterTest, agreement.test.js).
const FOLDING = {
    chars: { 'Ａ': 'a', 'Ｂ': 'b', 'Ｃ': 'c', 'Ｑ': 'q', A: 'a', 'ｶ': 'カ', 'ﾅ': 'ナ', 'ｷ': 'キ', 'ﾊ': 'ハ', '\uFF9E': '\u3099',
        '\uFF9F': '\u309A', '\u3000': ' ', 'Α': 'α', 'Σ': 'σ', 'Ⅹ': 'ⅹ', '\u212B': 'å' },
    joined: { 'カ\u3099': 'ガ', 'か\u3099': 'が', 'ハ\u309A': 'パ' },
};

test('the search folds by the table the page carries: each character, then a voiced mark joined where it makes one', () => {
    const cases = [
        ['ＡＢＣ ｶﾅ', 'abc カナ'],
        // The mark joins what the character before it folded to, or stays.
        ['ｶﾞｷﾟﾊﾟ', 'ガキ\u309Aパ'],
        ['か\uFF9E', 'が'],
        ['A\uFF9E', 'a\u3099'],
        ['\uFF9E\uFF9E', '\u3099\u3099'],
        ['\u3000ΑΣＱ', ' ασq'],
        ['Ⅹ\u212B', 'ⅹå'],
        // What the table does not name stays: ① is not 1, nor 😀 anything else.
        ['①㈱😀', '①㈱😀'],
        ['', ''],
    ];
    for (const [typed, folded] of cases)
        assert.equal(rules.searchFolding(FOLDING)(typed), folded, typed);
});

test('shuffles keep every item and follow the source of chance', () => {
    const items = ['a', 'b', 'c', 'd', 'e'];
    for (const value of [0, 0.3, 0.99]) {
        const shuffled = rules.shuffled(items, () => value);
        assert.deepEqual([...shuffled].sort(), items);
    }
    assert.deepEqual(rules.shuffled(items, () => 0.999), items);
    assert.notDeepEqual(rules.shuffled(items, () => 0), items);
    // An order other than the one given, even when chance first gives it
    // back; tiles of the same folded text are not told apart.
    const tile = (shown, folded) => ({ shown, folded });
    const ab = [tile('a', 'a'), tile('b', 'b')];
    assert.notDeepEqual(rules.scrambled(ab, sequence(0.99, 0)), ab);
    const same = [tile('ｶﾞ', 'ガ'), tile('ガ', 'ガ')];
    assert.deepEqual(rules.scrambled(same, () => 0), same);
});

// What a line carries, as the page writes it (zibconv/page/PageData.h).
const carried = {
    ox: { mode: 'choice', answer: '×', inOrder: true, pieces: ['○', '×'] },
    yontaku: { mode: 'choice', answer: 'AB', pieces: [['ＡＢ', 'AB'], 'ab', 'AB', 'x'] },
    narabekae: { mode: 'tiles', answer: 'ガス台', pieces: [['ｶﾞ', 'ガ'], ['ｽ', 'ス'], '台'] },
    panel: { mode: 'tiles', answer: 'ABC', pieces: ['C', 'AB', 'A', 'BC'] },
    slot: { mode: 'reels', answer: 'ガA', reels: [['ガ', 'カ'], ['A', 'B']] },
    reveal: { mode: 'reveal' },
};

test('a line plays as it carries: its pieces, shuffled or in their order, judged by their folded texts', () => {
    const random = () => 0.5;
    const ox = rules.playPlan(carried.ox, () => 0);
    assert.equal(ox.mode, 'choice');
    assert.deepEqual(ox.choices.map((c) => [c.shown, c.correct]), [['○', false], ['×', true]]);

    // A wrong choice that folds to the answer cannot be told from it, and counts as it.
    const four = rules.playPlan(carried.yontaku, random);
    assert.equal(four.mode, 'choice');
    assert.deepEqual(four.choices.map((c) => c.shown).sort(), ['AB', 'ab', 'x', 'ＡＢ'].sort());
    assert.deepEqual(four.choices.filter((c) => c.correct).map((c) => c.shown).sort(), ['AB', 'ＡＢ']);
    assert.notDeepEqual(rules.playPlan(carried.yontaku, () => 0).choices.map((c) => c.shown),
        rules.playPlan(carried.yontaku, () => 0.99).choices.map((c) => c.shown));

    const rearrange = rules.playPlan(carried.narabekae, random);
    assert.equal(rearrange.mode, 'tiles');
    assert.deepEqual(rearrange.tiles.map((t) => t.shown).sort(), ['ｶﾞ', 'ｽ', '台'].sort());
    assert.notDeepEqual(rearrange.tiles.map((t) => t.shown), ['ｶﾞ', 'ｽ', '台']);

    const slot = rules.playPlan(carried.slot, random);
    assert.equal(slot.mode, 'reels');
    assert.deepEqual(slot.reels.map((reel) => [...reel].sort()), [['カ', 'ガ'], ['A', 'B']]);

    assert.equal(rules.playPlan(carried.reveal, random).mode, 'reveal');
});

test('what is placed or picked is the answer when its folded texts, one after the other, are', () => {
    const panel = rules.playPlan(carried.panel, () => 0.5);
    const cases = [
        [['AB', 'C'], true, true],
        [['A', 'BC'], true, true],
        [['A', 'B'], false, false],
        [['BC', 'A'], true, false],
        [['AB'], false, false],
        [['C', 'AB', 'A'], true, false],
    ];
    for (const [placed, complete, correct] of cases) {
        assert.equal(rules.isComplete(panel, placed), complete, `${placed} complete`);
        if (complete)
            assert.equal(rules.isCorrect(panel, placed), correct, `${placed} correct`);
    }
    const slot = rules.playPlan(carried.slot, () => 0.5);
    assert.ok(rules.isCorrect(slot, ['ガ', 'A']));
    assert.ok(!rules.isCorrect(slot, ['カ', 'A']));
    // Letter case is kept: a is not A.
    assert.ok(!rules.isCorrect({ answer: 'AB' }, ['ab']));
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

test('the search shows lines whose keys hold the query, and the parent of a matching branch', () => {
    // Keys as the page makes them: folded and in lower case.
    const lines = [
        { level: 'main', key: '東京 abc' },
        { level: 'sub', key: 'カナ' },
        { level: 'main', key: '大阪' },
        { level: 'sub', key: '京都' },
        { level: 'main', key: 'abc' },
    ];
    assert.deepEqual(rules.filterLines(lines, '', rules.searchFolding(FOLDING)), [true, true, true, true, true]);
    assert.deepEqual(rules.filterLines(lines, 'abc', rules.searchFolding(FOLDING)), [true, false, false, false, true]);
    assert.deepEqual(rules.filterLines(lines, 'ｶﾅ', rules.searchFolding(FOLDING)), [true, true, false, false, false]);
    assert.deepEqual(rules.filterLines(lines, '京', rules.searchFolding(FOLDING)), [true, false, true, true, false]);
    assert.deepEqual(rules.filterLines(lines, 'ＡＢＣ', rules.searchFolding(FOLDING)), [true, false, false, false, true]);
    assert.deepEqual(rules.filterLines(lines, 'none', rules.searchFolding(FOLDING)), [false, false, false, false, false]);
});

test('the score is told as the page tells it', () => {
    assert.equal(rules.scoreText(36, 24), '36問中24問正解');
});
