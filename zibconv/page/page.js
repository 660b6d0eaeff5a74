// The set's page with scripting on: the search box and the play-through.
// It reads the problems from the list itself, with what each line carries
// from the review (data-play: how it plays and the folded texts compared,
// left out where the line is only shown), and with the list how the search
// folds texts (data-folding); every text goes into the page as
// textContent, never as markup.
'use strict';

(() => {
    const rules = ZibRules;
    const articles = Array.from(document.querySelectorAll('main article'));
    const blocks = Array.from(document.querySelectorAll('main .block'));
    const list = document.querySelector('main .list');
    const controls = document.querySelector('.controls');
    const search = controls.querySelector('input[type="search"]');
    const playButton = controls.querySelector('[data-play]');
    const shuffleBox = controls.querySelector('[data-shuffle]');
    const found = controls.querySelector('[data-found]');
    const announcer = document.querySelector('[data-announce]');
    const stage = document.getElementById('play');
    controls.hidden = false;

    // What a screen reader says politely: the verdicts and the score.
    function announce(text) {
        announcer.textContent = text;
    }

    // Scrolls a line's heading to the top of the view and keeps it there
    // while the boxes above it, drawn on the way, change their heights
    // (each box out of view has only the height it is taken to have), until
    // it has stayed put for a few frames or the reader scrolls.
    let landing = null;
    function land(article) {
        if (!article || article.hidden)
            return;
        landing?.stop();
        const start = performance.now();
        let still = 0;
        let frame = 0;
        const stop = () => {
            cancelAnimationFrame(frame);
            for (const type of ['wheel', 'pointerdown', 'keydown', 'touchstart'])
                removeEventListener(type, stop, true);
            landing = null;
        };
        const step = () => {
            const top = article.getBoundingClientRect().top;
            if (Math.abs(top) > 1) {
                article.scrollIntoView({ block: 'start' });
                still = 0;
            } else {
                ++still;
            }
            const time = performance.now() - start;
            if ((still < 10 || time < 500) && time < 3000)
                frame = requestAnimationFrame(step);
            else
                stop();
        };
        for (const type of ['wheel', 'pointerdown', 'keydown', 'touchstart'])
            addEventListener(type, stop, true);
        landing = { stop };
        step();
    }

    function lineOfHash() {
        return /^#line-\d+$/.test(location.hash) ? document.getElementById(location.hash.slice(1)) : null;
    }
    // After the browser's own jump, to the address's line or a link's.
    land(lineOfHash());
    addEventListener('hashchange', () => land(lineOfHash()));
    document.addEventListener('click', (event) => {
        const link = event.target.closest('a[href^="#line-"]');
        if (link)
            requestAnimationFrame(() => land(document.getElementById(link.getAttribute('href').slice(1))));
    });

    function element(tag, attributes, text) {
        const made = document.createElement(tag);
        for (const [name, value] of Object.entries(attributes || {}))
            made.setAttribute(name, value);
        if (text !== undefined)
            made.textContent = text;
        return made;
    }

    // The texts of a field, blanks (as the page marks them) left out.
    function shownTexts(article, field) {
        return Array.from(article.querySelectorAll(`[data-field="${field}"]:not([data-blank])`), (dd) => dd.textContent);
    }

    function playData(article) {
        const play = article.dataset.play;
        return play === undefined ? { mode: 'reveal' } : JSON.parse(play);
    }

    function answerOf(article) {
        const answer = article.querySelector('[data-field="answer"]');
        return answer ? answer.textContent : '';
    }

    // "12 【四択】"
    function headingOf(article) {
        return article.querySelector('h2').textContent;
    }

    // The search: its keys, a line's texts folded, are made once the page
    // has loaded and the browser is idle (or by the first search, if that
    // comes first).
    const fold = rules.searchFolding(JSON.parse(list.dataset.folding));
    let keys = null;
    function searchKeys() {
        keys ||= articles.map((article) => {
            const texts = [];
            for (const child of article.querySelector('dl').children) {
                if (child.tagName === 'DD')
                    texts.push(child.textContent);
            }
            return { level: article.dataset.level, key: fold(texts.join('\n')) };
        });
        return keys;
    }

    function filter() {
        const shown = rules.filterLines(searchKeys(), search.value, fold);
        articles.forEach((article, i) => {
            if (article.hidden === shown[i])
                article.hidden = !shown[i];
        });
        // A block out of view keeps the size it is taken to have: that of
        // the lines it shows, or none when it shows none.
        const filtering = search.value !== '';
        let total = 0;
        for (const block of blocks) {
            let count = 0;
            for (const article of block.children)
                count += article.hidden ? 0 : 1;
            block.hidden = count === 0;
            block.style.containIntrinsicSize = filtering ? `${count * 11}em` : '';
            total += count;
        }
        // Play plays what is shown, and says so.
        found.textContent = !filtering ? `すべての ${total} 行を表示しています`
            : total === 0 ? '見つかりません: 検索した文字を含む行はありません' : `${total} 行を表示しています`;
        playButton.textContent = filtering ? `表示中の ${total} 行を通して遊ぶ` : '通して遊ぶ';
        playButton.disabled = total === 0;
    }
    window.addEventListener('load', () => requestIdleCallback(searchKeys));
    let pending = false;
    // Enter jumps to the first line shown.
    search.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter')
            return;
        event.preventDefault();
        filter();
        land(articles.find((article) => !article.hidden));
    });
    search.addEventListener('input', () => {
        if (pending)
            return;
        pending = true;
        requestAnimationFrame(() => {
            pending = false;
            filter();
        });
    });

    // The play-through, of the lines the search shows (all when it is
    // empty). While it runs the controls are away, so that no click
    // starts it over; they come back with the score.
    const random = () => Math.random();
    let game = null;

    function startPlay() {
        const shown = articles.filter((article) => !article.hidden);
        if (shown.length === 0)
            return;
        const lines = shown.map((article) => ({ line: article, level: article.dataset.level }));
        const order = rules.playOrder(lines, shuffleBox.checked, random).map((entry) => entry.line);
        const limited = shown.length < articles.length ? search.value : null;
        game = { order, at: 0, played: 0, correct: 0, missed: [], limited };
        controls.hidden = true;
        list.hidden = true;
        stage.hidden = false;
        announce('');
        showProblem();
    }

    // The score of the lines played: all of them, or those before やめる.
    function endPlay() {
        const text = rules.scoreText(game.played, game.correct);
        const score = element('div', { 'data-score': '' });
        const heading = element('h2', { class: 'score', tabindex: '-1' }, text);
        score.append(heading);
        if (game.missed.length > 0) {
            const missed = element('ul');
            for (const article of game.missed) {
                const item = element('li');
                const summary = `${headingOf(article)} ${firstText(article)}`;
                item.append(element('a', { href: `#${article.id}` }, summary));
                missed.append(item);
            }
            score.append(element('p', {}, '間違えた問題:'), missed);
        }
        stage.replaceChildren(score);
        list.hidden = false;
        controls.hidden = false;
        game = null;
        heading.focus();
        announce(text);
    }

    function firstText(article) {
        const first = article.querySelector('[data-field]');
        return first ? first.textContent : '';
    }

    // The keys that press the buttons shown, in their order.
    const keyLetters = '1234567890abcdefghijklmnopqrstuvwxyz';

    // A button a key presses: it shows its key (see numberKeys) before its text.
    function keyedButton(attributes, text) {
        const button = element('button', Object.assign({ type: 'button' }, attributes));
        button.zibGap = document.createTextNode('');
        button.append(element('kbd', { 'aria-hidden': 'true', hidden: '' }), button.zibGap, text);
        button.zibText = text;
        return button;
    }

    // Gives the choices and tiles shown and enabled their keys, in order,
    // and each tile of a row its place among those shown, so that what a
    // button shows and says is what its key presses now.
    function numberKeys(box) {
        let n = 0;
        let place = 0;
        for (const button of box.querySelectorAll('[data-choice], [data-tile]')) {
            const key = !button.hidden && !button.disabled ? keyLetters[n++] : undefined;
            const kbd = button.querySelector('kbd');
            kbd.hidden = !key;
            kbd.textContent = key || '';
            button.zibGap.data = key ? ' ' : '';
            if (key) {
                button.dataset.key = key;
                button.setAttribute('aria-keyshortcuts', key);
            } else {
                delete button.dataset.key;
                button.removeAttribute('aria-keyshortcuts');
            }
            // A tile's name: what it shows, then its place.
            const where = button.matches('.tiles:not([data-reel]) > [data-tile]:not([hidden])')
                ? `${++place} 番目のタイル` : button.zibPlace;
            if (where)
                button.setAttribute('aria-label', `${key ? `${key} ` : ''}${button.zibText}（${where}）`);
        }
    }

    // The first control the player uses on a problem.
    function focusFirst(box) {
        const first = box.querySelector('[data-choice]:enabled, [data-tile]:enabled:not([hidden]), [data-reveal]');
        (first || box.querySelector('button:enabled:not([hidden])'))?.focus();
    }

    function showProblem() {
        const article = game.order[game.at];
        const plan = rules.playPlan(playData(article), random);
        const answer = answerOf(article);
        const question = article.querySelector('[data-field="question"]');
        const prompt = question ? question.textContent : '';
        const hints = shownTexts(article, 'hint');
        const box = element('div', { 'data-play-line': article.id.slice('line-'.length), 'data-play-mode': plan.mode });
        let progress = `${game.at + 1} / ${game.order.length} 問目 ・ ここまで ${game.correct} 問正解`;
        if (game.limited !== null)
            progress += ` ・ 検索「${game.limited}」で表示中の行だけ`;
        box.append(element('p', { class: 'progress', 'data-progress': '' }, progress));
        box.append(element('h2', { class: 'play-label' }, headingOf(article)));
        if (prompt !== '')
            box.append(element('p', { class: 'prompt', 'data-play-question': '' }, prompt));
        const result = element('p', { class: 'result', 'data-play-result': '', hidden: '' });
        const next = element('button', { type: 'button', 'data-next': '', hidden: '' }, '次へ (Enter)');
        const judge = (correct) => {
            if (box.dataset.result)
                return;
            box.dataset.result = correct ? 'correct' : 'wrong';
            ++game.played;
            if (correct)
                ++game.correct;
            else
                game.missed.push(article);
            for (const button of box.querySelectorAll('[data-choice], [data-tile], [data-undo], [data-judge], [data-check]'))
                button.disabled = true;
            numberKeys(box);
            const verdict = `${correct ? '正解' : '不正解'} ・ 答え: ${answer}`;
            result.textContent = verdict;
            result.hidden = false;
            next.hidden = false;
            next.focus();
            announce(verdict);
        };
        if (hints.length > 0)
            addHints(box, hints);
        if (plan.mode === 'choice')
            addChoices(box, plan, judge);
        else if (plan.mode === 'tiles')
            addTiles(box, plan, judge);
        else if (plan.mode === 'reels')
            addReels(box, plan, judge);
        else
            addReveal(box, answer, judge);
        next.addEventListener('click', () => {
            ++game.at;
            if (game.at < game.order.length)
                showProblem();
            else
                endPlay();
        });
        box.append(result, next);
        const stop = element('button', { type: 'button', 'data-stop': '' }, 'やめる');
        stop.addEventListener('click', endPlay);
        stage.replaceChildren(box, stop);
        numberKeys(box);
        focusFirst(box);
    }

    function addHints(box, hints) {
        const shownHints = element('ol', { class: 'hints' });
        let shown = 0;
        const more = element('button', { type: 'button', 'data-more-hint': '' }, '次のヒント');
        const showNext = () => {
            shownHints.append(element('li', { 'data-play-hint': '' }, hints[shown++]));
            more.hidden = shown >= hints.length;
        };
        more.addEventListener('click', () => {
            showNext();
            if (more.hidden)
                focusFirst(box);
        });
        showNext();
        box.append(shownHints, more);
    }

    function addChoices(box, plan, judge) {
        const group = element('div', { class: 'choices', role: 'group', 'aria-label': '選択肢' });
        plan.choices.forEach((choice, i) => {
            const button = keyedButton({ 'data-choice': String(i) }, choice.shown);
            if (choice.correct)
                button.dataset.correct = '';
            button.addEventListener('click', () => {
                button.setAttribute('aria-pressed', 'true');
                judge(choice.correct);
            });
            group.append(button);
        });
        box.append(group);
    }

    // Tiles go from the row to the line placed, and back with 1 つ戻す;
    // 答え合わせ judges once as much is placed as the answer holds.
    function addTiles(box, plan, judge) {
        const placedView = element('p', { class: 'placed', 'data-placed': '' });
        const group = element('div', { class: 'tiles', role: 'group', 'aria-label': 'タイル' });
        const placed = [];
        const undo = element('button', { type: 'button', 'data-undo': '', disabled: '' }, '1 つ戻す');
        const check = element('button', { type: 'button', 'data-check': '', disabled: '' }, '答え合わせ');
        const update = () => {
            placedView.textContent = placed.map((entry) => entry.tile.shown).join('');
            const complete = rules.isComplete(plan, placed.map((entry) => entry.tile.folded));
            undo.disabled = placed.length === 0;
            check.disabled = !complete;
            for (const button of group.children)
                button.disabled = complete;
            numberKeys(box);
        };
        plan.tiles.forEach((tile) => {
            const button = keyedButton({ 'data-tile': '' }, tile.shown);
            button.addEventListener('click', () => {
                const shown = Array.from(group.querySelectorAll('[data-tile]:not([hidden])'));
                const at = shown.indexOf(button);
                button.hidden = true;
                placed.push({ tile, button });
                update();
                // Focus to the tile now in its place, or on.
                const left = shown.filter((other) => other !== button);
                (check.disabled ? left[Math.min(at, left.length - 1)] || undo : check).focus();
            });
            group.append(button);
        });
        undo.addEventListener('click', () => {
            const last = placed.pop();
            if (last)
                last.button.hidden = false;
            update();
            if (undo.disabled)
                focusFirst(box);
        });
        check.addEventListener('click', () => judge(rules.isCorrect(plan, placed.map((entry) => entry.tile.folded))));
        box.append(placedView, group, undo, check);
    }

    // One pick per reel, changed at will until 答え合わせ.
    function addReels(box, plan, judge) {
        const picks = plan.reels.map(() => null);
        const placedView = element('p', { class: 'placed', 'data-placed': '' });
        const check = element('button', { type: 'button', 'data-check': '', disabled: '' }, '答え合わせ');
        box.append(placedView);
        const groups = plan.reels.map((reel, r) => {
            const group = element('div', { class: 'tiles', 'data-reel': String(r), role: 'group', 'aria-label': `リール ${r + 1}` });
            reel.forEach((character, i) => {
                const button = keyedButton({ 'data-tile': '', 'aria-pressed': 'false' }, character);
                button.zibPlace = `リール ${r + 1} の ${i + 1} 番目`;
                button.addEventListener('click', () => {
                    picks[r] = character;
                    for (const other of group.children)
                        other.setAttribute('aria-pressed', String(other === button));
                    placedView.textContent = picks.map((pick) => pick || '＿').join('');
                    check.disabled = picks.some((pick) => pick === null);
                    const open = picks.findIndex((pick) => pick === null);
                    (open < 0 ? check : groups[open].firstElementChild).focus();
                });
                group.append(button);
            });
            box.append(group);
            return group;
        });
        check.addEventListener('click', () => judge(rules.isCorrect(plan, picks)));
        box.append(check);
    }

    function addReveal(box, answerText, judge) {
        const answer = element('p', { class: 'revealed', hidden: '' }, `答え: ${answerText}`);
        const reveal = element('button', { type: 'button', 'data-reveal': '' }, '答えを見る');
        const judges = element('div', { class: 'choices', hidden: '' });
        for (const [value, label] of [['correct', '正解だった'], ['wrong', '不正解だった']]) {
            const button = element('button', { type: 'button', 'data-judge': value }, label);
            button.addEventListener('click', () => judge(value === 'correct'));
            judges.append(button);
        }
        reveal.addEventListener('click', () => {
            reveal.hidden = true;
            answer.hidden = false;
            judges.hidden = false;
            judges.firstElementChild.focus();
        });
        box.append(reveal, answer, judges);
    }

    playButton.addEventListener('click', startPlay);

    // Each key a button shows presses it; Enter goes on.
    document.addEventListener('keydown', (event) => {
        if (!game || event.target === search || event.altKey || event.ctrlKey || event.metaKey)
            return;
        const box = stage.querySelector('[data-play-line]');
        if (!box)
            return;
        if (event.key === 'Enter') {
            const next = box.querySelector('[data-next]');
            if (!next.hidden) {
                event.preventDefault();
                next.click();
            }
            return;
        }
        const key = event.key.toLowerCase();
        const button = key.length === 1 && keyLetters.includes(key) ? box.querySelector(`[data-key="${key}"]`) : null;
        if (button) {
            event.preventDefault();
            button.click();
        }
    });
})();
