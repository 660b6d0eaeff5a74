// node tests/page/agreement.test.js WORKDIR ZIBCONV...
//
// check and the page agree on every problem: zibconv (the native program,
// or the Windows one through tools/wine-run.sh) writes the page and the
// check --json report of one generated set full of compatibility
// characters (①, ㈱, ｶﾞ, full-width letters, half-width voiced marks that
// become combining marks, spaces and line breaks), and the page's own play
// rules (rules.js) play every line from what the page carries. A line plays
// by revealing exactly where check finds its fallback; where it plays, the
// pieces the page offers give the answer as check compares it; the choices
// it counts right are the answer and those check finds equal to it, which
// the search folds alike; and typing any text of a line into the search
// finds the line.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const childProcess = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const rules = require(path.join(__dirname, '..', '..', 'zibconv', 'page', 'rules.js'));

const [work, ...zibconv] = process.argv.slice(2);

// A small linear congruential source, so that every run makes the same set.
function chance(seed) {
    let state = seed;
    return () => {
        state = (state * 1103515245 + 12345) % 2147483648;
        return state / 2147483648;
    };
}

const random = chance(20240611);
const pick = (items) => items[Math.floor(random() * items.length)];
const BLANKS = [' ', '\u3000', '\n', ' \n '];
const PARTS = ['ア', 'イ', 'ｶﾞ', 'ガ', 'カ', 'ﾊﾟ', 'パ', 'ﾞ', 'Ａ', 'A', 'a', 'ｂ', 'b', '①', '1', '㈱', '(株)', 'ｷﾟ',
    'Ω', 'ω', ' ', '\u3000', '&', '<', '"'];
// ox answers with the side the page must give them: ○, ×, or none.
const OX_ANSWERS = [['○', 'o'], ['ｏ', 'o'], ['Ｏ', 'o'], ['〇', 'o'], [' ○ ', 'o'], ['×', 'x'], ['ｘ', 'x'], ['X', 'x'],
    ['ⅹ', null], ['①', null], ['はい', null], ['oo', null]];

function text(most) {
    let made = '';
    for (let n = 1 + Math.floor(random() * most); n > 0; --n)
        made += pick(PARTS);
    return made;
}

const maybeBlank = (made, blankOdds) => (random() < blankOdds ? pick(BLANKS) : made);
const isBlank = (t) => /^[ \u3000\t\r\n]*$/.test(t);

// One problem of each kind in turn: [kind, { field: [texts] }, ox side].
function generated(count) {
    const problems = [];
    for (let n = 0; n < count; ++n) {
        const kind = ['ox', 'yontaku', 'rensou', 'narabekae', 'panel', 'slot'][n % 6];
        const fields = {};
        let side = null;
        if (kind === 'ox') {
            const [answer, s] = pick(OX_ANSWERS);
            fields.question = [`q${n}`];
            fields.answer = [answer];
            side = s;
        } else if (kind === 'yontaku' || kind === 'rensou') {
            const answer = maybeBlank(text(3), 0.1);
            if (kind === 'rensou')
                fields.hint = [1, 2, 3, 4].map((h) => `h${n}-${h}`);
            else
                fields.question = [`q${n}`];
            fields.answer = [answer];
            // Wrong choices are often the answer in another width.
            fields.dummy = [0, 1, 2].map(() => maybeBlank(random() < 0.3 ? answer.replace(/A/g, 'Ａ') : text(3), 0.4));
        } else if (kind === 'narabekae') {
            fields.question = [`q${n}`];
            fields.answer = [maybeBlank(text(5), 0.1)];
        } else if (kind === 'panel') {
            fields.question = [`q${n}`];
            fields.answer = [maybeBlank(text(4), 0.05)];
            fields.panel = Array.from({ length: 10 }, () => maybeBlank(text(2), 0.5));
        } else {
            fields.question = [`q${n}`];
            const answer = text(4);
            fields.answer = [maybeBlank(answer, 0.05)];
            // Reels mostly of the answer's parts, so that many can give it.
            const parts = answer.match(/.[\uFF9E\uFF9F]*/gu) || [];
            fields.reel = Array.from({ length: 6 }, (_, r) => (r < parts.length ? parts[r] + text(2) : pick(BLANKS)));
        }
        problems.push([kind, fields, side]);
    }
    return problems;
}

const FIELDS = {
    ox: ['question', 'answer'], yontaku: ['question', 'answer', 'dummy'], rensou: ['hint', 'answer', 'dummy'],
    narabekae: ['question', 'answer'], panel: ['question', 'answer', 'panel'], slot: ['question', 'answer', 'reel'],
};

// The quiz file in UTF-8: a line break in a text is one in the file (the
// program reads it as CR LF, as Open does).
function quizFile(problems) {
    const xml = (t) => t.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
    const body = problems.map(([kind, fields]) => {
        const texts = FIELDS[kind].flatMap((name) => fields[name].map((t) => `<${name}>${xml(t)}</${name}>`));
        return `<${kind}><main>${texts.join('')}</main></${kind}>`;
    });
    return `<?xml version='1.0' encoding='UTF-8'?>\n<root>${body.join('\n')}</root>\n`;
}

function run(args) {
    const result = childProcess.spawnSync(zibconv[0], [...zibconv.slice(1), ...args], { cwd: work, timeout: 120000 });
    return result;
}

const unescaped = (t) => t.replace(/&quot;/g, '"').replace(/&#39;/g, "'").replace(/&lt;/g, '<').replace(/&gt;/g, '>')
    .replace(/&amp;/g, '&');

// Each line of the page: its attributes and shown texts, as the browser reads them.
function pageLines(page) {
    const lines = [];
    for (const [, attributes, body] of page.matchAll(/<article ([^>]*)>([\s\S]*?)<\/article>/g)) {
        const attribute = (name) => {
            const found = attributes.match(new RegExp(` ${name}=(?:"([^"]*)"|'([^']*)')`));
            return found ? unescaped(found[1] ?? found[2]) : undefined;
        };
        const fields = Array.from(body.matchAll(/<dd data-field="(\w+)"(?: data-blank)?>([^<]*)/g),
            (m) => ({ name: m[1], text: unescaped(m[2]) }));
        // A line without play data is shown, not played.
        lines.push({ play: JSON.parse(attribute('data-play') ?? '{"mode":"reveal"}'), fields,
            texts: fields.map((f) => f.text) });
    }
    return lines;
}

// Whether some order of distinct tiles, placed as the page places them,
// is judged right: placing stops at the first complete placement.
function someOrderIsRight(plan) {
    const used = plan.tiles.map(() => false);
    const placed = [];
    const from = () => {
        if (rules.isComplete(plan, placed))
            return rules.isCorrect(plan, placed);
        for (let i = 0; i < plan.tiles.length; ++i) {
            if (used[i] || !plan.answer.startsWith(placed.join('') + plan.tiles[i].folded))
                continue;
            used[i] = true;
            placed.push(plan.tiles[i].folded);
            if (from())
                return true;
            placed.pop();
            used[i] = false;
        }
        return false;
    };
    return from();
}

function somePicksAreRight(plan) {
    const from = (r, picked) => r === plan.reels.length
        ? rules.isCorrect(plan, picked)
        : plan.reels[r].some((option) => plan.answer.startsWith([...picked, option].join('')) && from(r + 1, [...picked, option]));
    return from(0, []);
}

// What check says of each problem: its findings' rules by field, and the
// wrong choices it finds equal to the answer.
function checkedProblems(report, count) {
    const checked = Array.from({ length: count }, () => ({ rules: [], sameAsAnswer: new Set() }));
    for (const finding of report.findings) {
        const one = checked[finding.problem - 1];
        const field = finding.field ? `${finding.field.name}${finding.field.index || ''}` : '';
        one.rules.push(`${field} ${finding.rule}`);
        if (finding.rule === 'same-choice' && finding.message.includes('が答えと同じです'))
            one.sameAsAnswer.add(finding.field.index);
    }
    return checked;
}

// Whether check's findings say the problem is played by revealing it.
function checkReveals(kind, rulesFound, side) {
    const has = (rule) => rulesFound.includes(rule);
    if (has('answer blank'))
        return true;
    if (kind === 'ox')
        return side === null;
    if (kind === 'yontaku' || kind === 'rensou')
        return [1, 2, 3].every((i) => has(`dummy${i} blank`));
    if (kind === 'panel')
        return has('panel blank') || has('answer panels-cannot-spell');
    if (kind === 'slot')
        return has('reel blank') || has('answer reel-count') || rulesFound.some((r) => r.endsWith('reel-lacks-character'));
    return false;
}

test('check and the page agree on every generated problem', () => {
    fs.mkdirSync(work, { recursive: true });
    const problems = generated(600);
    fs.writeFileSync(path.join(work, 'agreement.xml'), quizFile(problems));
    const exported = run(['export', 'agreement.xml', 'agreement.html', '--force']);
    assert.equal(exported.status, 0, String(exported.stderr));
    const checkedRun = run(['check', 'agreement.xml', '--json']);
    assert.equal(checkedRun.status, 0, String(checkedRun.stderr));
    const checked = checkedProblems(JSON.parse(checkedRun.stdout.toString('utf8')), problems.length);
    const page = fs.readFileSync(path.join(work, 'agreement.html'), 'utf8');
    const lines = pageLines(page);
    const fold = rules.searchFolding(JSON.parse(unescaped(page.match(/<div class="list" data-folding='([^']*)'>/)[1])));
    assert.equal(lines.length, problems.length);

    const modes = {};
    problems.forEach(([kind, fields, side], n) => {
        const line = lines[n];
        const where = `problem ${n + 1} ${kind} ${JSON.stringify(fields)}: page ${JSON.stringify(line.play)}, check ${checked[n].rules}`;
        const plan = rules.playPlan(line.play, random);
        modes[`${kind} ${plan.mode}`] = (modes[`${kind} ${plan.mode}`] || 0) + 1;
        assert.equal(plan.mode === 'reveal', checkReveals(kind, checked[n].rules, side), where);
        if (plan.mode === 'choice') {
            const right = plan.choices.filter((c) => c.correct).map((c) => c.shown);
            if (kind === 'ox') {
                assert.deepEqual(right, [side === 'o' ? '○' : '×'], where);
            } else {
                // The answer, and each wrong choice check finds equal to it,
                // as the set holds them (Open closes up a list's blanks).
                const held = line.fields.filter((f) => f.name === 'dummy').map((f, i) => [f.text, i + 1]);
                const dummies = held.filter(([d]) => !isBlank(d));
                const wanted = [fields.answer[0], ...dummies.filter(([, i]) => checked[n].sameAsAnswer.has(i)).map(([d]) => d)];
                const crlf = (t) => t.replace(/\r?\n/g, '\r\n');
                assert.deepEqual(right.map(crlf).sort(), wanted.map(crlf).sort(), where);
                // What check finds equal, the search folds alike.
                const searched = (t) => fold(t).trim();
                for (const choice of right)
                    assert.equal(searched(choice), searched(fields.answer[0]), `${where}: ${JSON.stringify(choice)}`);
                assert.equal(plan.choices.length, 1 + dummies.length, where);
            }
        } else if (plan.mode === 'tiles') {
            assert.ok(someOrderIsRight(plan), where);
            if (kind === 'narabekae') {
                // The answer's own tiles in its order spell it.
                const own = line.play.pieces.map((p) => (typeof p === 'string' ? p : p[1]));
                assert.ok(rules.isComplete(plan, own) && rules.isCorrect(plan, own), where);
            }
        } else if (plan.mode === 'reels') {
            assert.ok(somePicksAreRight(plan), where);
        }
        // Typing a text of the line as it shows finds the line.
        const key = fold(line.texts.join('\n'));
        for (const shown of line.texts.filter((t) => !t.includes('\n')))
            assert.ok(key.includes(fold(shown)), `${where}: searching ${JSON.stringify(shown)} in ${key}`);
    });
    // The set exercises every way of playing it has.
    for (const mode of ['ox choice', 'ox reveal', 'yontaku choice', 'yontaku reveal', 'rensou choice', 'narabekae tiles',
        'panel tiles', 'panel reveal', 'slot reels', 'slot reveal'])
        assert.ok(modes[mode] > 0, `no ${mode} among ${JSON.stringify(modes)}`);
});
