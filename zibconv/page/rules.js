// The play rules of the set's page: plain functions of what each line
// carries and a source of chance, so that Node's test runner calls them as
// the page does (tests/page/rules.test.js). How a problem plays, and the
// folded texts it compares, come from the review (zibconv writes them with
// each line); these functions only compare what they are given.
'use strict';

const ZibRules = (() => {
    // The search folds a line's texts and what the user types alike, by
    // the page's table of the review's folding (zibconv writes it): full-
    // and half-width forms as one (ｶﾞ is ガ), letters in lower case, so that
    // ｶﾅ finds カナ and abc finds ＡＢＣ. The table is { chars, joined }:
    // what each code point folds to, and what a folded character and a
    // voiced mark after it join to. Returns the function that folds a text.
    function searchFolding(table) {
        const chars = new Map(Object.entries(table.chars));
        const joined = new Map(Object.entries(table.joined));
        const marks = new Set(Array.from(joined.keys(), (pair) => [...pair].pop()));
        return (text) => {
            let folded = '';
            let last = '';
            for (const c of text) {
                const f = chars.get(c) ?? c;
                const both = marks.has(f) ? joined.get(last + f) : undefined;
                if (both === undefined) {
                    folded += f;
                    last = f;
                } else {
                    folded = folded.slice(0, -last.length) + both;
                    last = both;
                }
            }
            return folded;
        };
    }

    // Fisher-Yates with `random` returning [0, 1), a copy.
    function shuffled(items, random) {
        const result = items.slice();
        for (let i = result.length - 1; i > 0; --i) {
            const j = Math.floor(random() * (i + 1));
            [result[i], result[j]] = [result[j], result[i]];
        }
        return result;
    }

    // Tiles in an order other than the one given (the answer's, for a
    // rearrangement), when there is one: told apart by their folded texts.
    function scrambled(tiles, random) {
        const given = tiles.map((tile) => tile.folded).join('\u0000');
        if (new Set(tiles.map((tile) => tile.folded)).size < 2)
            return tiles.slice();
        for (;;) {
            const order = shuffled(tiles, random);
            if (order.map((tile) => tile.folded).join('\u0000') !== given)
                return order;
        }
    }

    // A piece is [shown, folded], or one string when both are the same.
    function pieceOf(piece) {
        return typeof piece === 'string' ? { shown: piece, folded: piece } : { shown: piece[0], folded: piece[1] };
    }

    // How a line plays, from what it carries (`play`, the review's verdict):
    // a plan of choices, tiles or reels in an order of chance, or of mode
    // 'reveal', which shows the answer and lets the player judge.
    function playPlan(play, random) {
        const plan = { mode: play.mode, answer: play.answer };
        const pieces = (play.pieces || []).map(pieceOf);
        if (play.mode === 'choice') {
            const order = play.inOrder ? pieces : shuffled(pieces, random);
            plan.choices = order.map((piece) => Object.assign(piece, { correct: isCorrect(plan, [piece.folded]) }));
        }
        else if (play.mode === 'tiles')
            plan.tiles = scrambled(pieces, random);
        else if (play.mode === 'reels')
            plan.reels = play.reels.map((reel) => shuffled(reel, random));
        return plan;
    }

    // Whether the folded texts chosen, placed or picked, one after the
    // other, are the folded answer.
    function isCorrect(plan, folded) {
        return folded.join('') === plan.answer;
    }

    // Whether as much is placed as the answer holds.
    function isComplete(plan, folded) {
        return folded.join('').length >= plan.answer.length;
    }

    // The order of play: the lines as listed, or with `shuffle` the
    // top-level problems shuffled, each keeping its branches after it.
    // Lines are { line, level }.
    function playOrder(lines, shuffle, random) {
        const groups = [];
        for (const line of lines) {
            if (line.level === 'sub' && groups.length > 0)
                groups[groups.length - 1].push(line);
            else
                groups.push([line]);
        }
        return (shuffle ? shuffled(groups, random) : groups).flat();
    }

    // Which lines the search shows: those whose key (their texts folded)
    // holds the query folded, and the parent of every branch shown. Lines
    // are { level, key }; the result is one boolean per line.
    function filterLines(lines, query, fold) {
        const wanted = fold(query);
        const shown = lines.map((line) => wanted === '' || line.key.includes(wanted));
        let parent = -1;
        lines.forEach((line, i) => {
            if (line.level !== 'sub')
                parent = i;
            else if (shown[i] && parent >= 0)
                shown[parent] = true;
        });
        return shown;
    }

    function scoreText(total, correct) {
        return `${total}問中${correct}問正解`;
    }

    return { searchFolding, shuffled, scrambled, playPlan, isCorrect, isComplete, playOrder, filterLines, scoreText };
})();

if (typeof module === 'object' && module.exports)
    module.exports = ZibRules;
