// The play rules of the set's page: which kind plays how, what the search
// compares, how an answer is spelled from tiles. Plain functions of texts
// and a source of chance, so that Node's test runner calls them as the page
// does (tests/page/rules.test.js).
'use strict';

const ZibRules = (() => {
    // Spaces and line breaks around a text are no part of it, as for check.
    const SURROUNDING = /^[ \u3000\t\r\n]+|[ \u3000\t\r\n]+$/g;

    // What a reader cannot tell apart: full- and half-width forms (ｶﾞ is
    // ガ), and the spaces around a text. Letter case is kept.
    function folded(text) {
        return text.normalize('NFKC').replace(SURROUNDING, '');
    }

    // The search compares after NFKC and case folding: ｶﾅ finds カナ and
    // abc finds ＡＢＣ.
    function searchKey(text) {
        return text.normalize('NFKC').toLowerCase();
    }

    function isBlank(text) {
        return text.replace(SURROUNDING, '') === '';
    }

    // The characters a player sees: a code point with the marks after it
    // (a half-width voiced mark joins the kana before it).
    const CHARACTER = /[\uFF9E\uFF9F\p{M}]+|.[\uFF9E\uFF9F\p{M}]*/gsu;
    function characters(text) {
        return text.match(CHARACTER) || [];
    }

    const CIRCLES = new Set(['○', '〇', '◯', 'o', 'O']);
    const CROSSES = new Set(['×', '✕', '✖', '☓', 'x', 'X']);

    // 'o' or 'x' for an ox answer that is a circle or a cross (full-width
    // forms too); null for any other answer.
    function oxAnswer(answer) {
        const text = folded(answer);
        if (CIRCLES.has(text) || CIRCLES.has(answer.trim()))
            return 'o';
        if (CROSSES.has(text) || CROSSES.has(answer.trim()))
            return 'x';
        return null;
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

    // Tiles in an order other than the answer's, when there is one.
    function scrambled(tiles, random) {
        const answer = tiles.join('\u0000');
        if (new Set(tiles).size < 2)
            return tiles.slice();
        for (;;) {
            const order = shuffled(tiles, random);
            if (order.join('\u0000') !== answer)
                return order;
        }
    }

    // Whether the answer is a run of tiles, each used at most once; a tile
    // of several characters matches as many of the answer's.
    function panelsSpell(answer, tiles) {
        const target = characters(folded(answer));
        const pieces = tiles.filter((tile) => !isBlank(tile)).map((tile) => characters(folded(tile)));
        const used = pieces.map(() => false);
        const from = (at) => {
            if (at === target.length)
                return true;
            for (let i = 0; i < pieces.length; ++i) {
                const piece = pieces[i];
                if (used[i] || piece.length === 0 || at + piece.length > target.length)
                    continue;
                if (piece.some((c, k) => c !== target[at + k]))
                    continue;
                used[i] = true;
                if (from(at + piece.length))
                    return true;
                used[i] = false;
            }
            return false;
        };
        return target.length > 0 && from(0);
    }

    // Whether each character of the answer is on the reel of its place, with
    // as many characters as there are non-blank reels.
    function reelsGive(answer, reels) {
        const target = characters(folded(answer));
        const filled = reels.filter((reel) => !isBlank(reel));
        return target.length > 0 && target.length === filled.length &&
            filled.every((reel, i) => characters(folded(reel)).includes(target[i]));
    }

    // How a problem plays: its kind and fields (arrays for lists) to a plan
    // of buttons and tiles; chance only through `random`. A plan of mode
    // 'reveal' shows the answer and lets the player judge.
    function playPlan(kind, fields, random) {
        const answer = fields.answer[0] || '';
        const shown = folded(answer);
        const plan = { mode: 'reveal', answer, prompt: '', hints: [] };
        plan.prompt = kind === 'rensou' ? '' : (fields.question || [''])[0];
        if (kind === 'rensou')
            plan.hints = (fields.hint || []).filter((hint) => !isBlank(hint));
        if (isBlank(answer))
            return plan;
        if (kind === 'ox') {
            const side = oxAnswer(answer);
            if (side)
                Object.assign(plan, { mode: 'choice', choices: ['○', '×'], correct: side === 'o' ? 0 : 1 });
            return plan;
        }
        if (kind === 'yontaku' || kind === 'rensou') {
            const wrong = (fields.dummy || []).filter((dummy) => !isBlank(dummy));
            if (wrong.length === 0)
                return plan;
            const choices = shuffled([answer, ...wrong], random);
            return Object.assign(plan, { mode: 'choice', choices, correct: choices.indexOf(answer) });
        }
        if (kind === 'narabekae') {
            // Tiles as the answer writes them (ｶﾞ stays one tile of ｶﾞ).
            const tiles = characters(answer.replace(SURROUNDING, ''));
            return Object.assign(plan, { mode: 'tiles', tiles: scrambled(tiles, random), length: characters(shown).length });
        }
        if (kind === 'panel') {
            const panels = (fields.panel || []).filter((panel) => !isBlank(panel));
            if (!panelsSpell(answer, panels))
                return plan;
            return Object.assign(plan, { mode: 'tiles', tiles: shuffled(panels, random), length: characters(shown).length });
        }
        if (kind === 'slot') {
            const reels = (fields.reel || []).filter((reel) => !isBlank(reel));
            if (!reelsGive(answer, reels))
                return plan;
            return Object.assign(plan, {
                mode: 'reels',
                reels: reels.map((reel) => shuffled(Array.from(new Set(characters(folded(reel)))), random)),
            });
        }
        return plan;
    }

    // Whether what the player placed or picked is the answer.
    function isCorrect(answer, placed) {
        return folded(placed) === folded(answer);
    }

    // Whether as many characters are placed as the plan's answer has.
    function isComplete(plan, placed) {
        return characters(folded(placed)).length >= plan.length;
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

    // Which lines the search shows: those any of whose texts hold the
    // query, and the parent of every branch shown. Lines are { level,
    // key } with key the searchKey of the line's texts; the result is one
    // boolean per line.
    function filterLines(lines, query) {
        const wanted = searchKey(query);
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

    return {
        folded, searchKey, isBlank, characters, oxAnswer, shuffled, scrambled, panelsSpell, reelsGive,
        playPlan, isCorrect, isComplete, playOrder, filterLines, scoreText,
    };
})();

if (typeof module === 'object' && module.exports)
    module.exports = ZibRules;
