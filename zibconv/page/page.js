// The set's page with scripting on: the search box and the play-through.
// It reads the problems from the list itself, with what each line carries
// from the review (data-play: how it plays and the folded texts compared;
// data-search: its search key where folding changes its texts); every text
// goes into the page as textContent, never as markup.
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

    function answerOf(article) {
        const answer = article.querySelector('[data-field="answer"]');
        return answer ? answer.textContent : '';
    }

    // "12 【四択】"
    function headingOf(article) {
        return article.querySelector('h2').textContent;
    }

    // The search: its keys are made once the page has loaded and the
    // browser is idle (or by the first search, if that comes first).
    let keys = null;
    function searchKeys() {
        keys ||= articles.map((article) => {
            let key = article.dataset.search;
            if (key === undefined) {
                const texts = [];
                for (const child of article.querySelector('dl').children) {
                    if (child.tagName === 'DD')
                        texts.push(child.textContent);
                }
                key = texts.join('\n');
            }
            return { level: article.dataset.level, key };
        });
        return keys;
    }

    function filter() {
        const shown = rules.filterLines(searchKeys(), search.value);
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
        found.textContent = !filtering ? `すべての ${total} 行を表示しています`
            : total === 0 ? '見つかりません: 検索した文字を含む行はありません' : `${total} 行を表示しています`;
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

    // The play-through.
    const random = () => Math.random();
    let game = null;

    function startPlay() {
        const lines = articles.map((article) => ({ line: article, level: article.dataset.level }));
        const order = rules.playOrder(lines, shuffleBox.checked, random).map((entry) => entry.line);
        game = { order, at: 0, played: 0, correct: 0, missed: [] };
        list.hidden = true;
        stage.hidden = false;
        showProblem();
    }

    // The score of the lines played: all of them, or those before やめる.
    function endPlay() {
        const total = game.played;
        stage.replaceChildren();
        const score = element('div', { 'data-score': '' });
        score.append(element('p', { class: 'score' }, rules.scoreText(total, game.correct)));
        if (game.missed.length > 0) {
            const list = element('ul');
            for (const article of game.missed) {
                const item = element('li');
                const summary = `${headingOf(article)} ${firstText(article)}`;
                item.append(element('a', { href: `#line-${article.dataset.line}` }, summary));
                list.append(item);
            }
            score.append(element('p', {}, '間違えた問題:'), list);
        }
        stage.append(score);
        list.hidden = false;
        game = null;
    }

    function firstText(article) {
        const first = article.querySelector('[data-field]');
        return first ? first.textContent : '';
    }

    function showProblem() {
        const article = game.order[game.at];
        const plan = rules.playPlan(JSON.parse(article.dataset.play), random);
        const answer = answerOf(article);
        const question = article.querySelector('[data-field="question"]');
        const prompt = question ? question.textContent : '';
        const hints = shownTexts(article, 'hint');
        const box = element('div', { 'data-play-line': article.dataset.line, 'data-play-mode': plan.mode });
        const progress = `${game.at + 1} / ${game.order.length} 問目 ・ ここまで ${game.correct} 問正解`;
        box.append(element('p', { class: 'progress', 'data-progress': '' }, progress));
        box.append(element('p', { class: 'play-label' }, headingOf(article)));
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
            for (const button of box.querySelectorAll('[data-choice], [data-tile], [data-undo], [data-judge]'))
                button.disabled = true;
            result.textContent = `${correct ? '正解' : '不正解'} ・ 答え: ${answer}`;
            result.hidden = false;
            next.hidden = false;
            next.focus();
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
    }

    function addHints(box, hints) {
        const list = element('ol', { class: 'hints' });
        let shown = 0;
        const more = element('button', { type: 'button', 'data-more-hint': '' }, '次のヒント');
        const showNext = () => {
            list.append(element('li', { 'data-play-hint': '' }, hints[shown++]));
            more.hidden = shown >= hints.length;
        };
        more.addEventListener('click', showNext);
        showNext();
        box.append(list, more);
    }

    function addChoices(box, plan, judge) {
        const group = element('div', { class: 'choices' });
        plan.choices.forEach((choice, i) => {
            const button = element('button', { type: 'button', 'data-choice': String(i) }, choice.shown);
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

    function addTiles(box, plan, judge) {
        const placedView = element('p', { class: 'placed', 'data-placed': '' });
        const group = element('div', { class: 'tiles' });
        const placed = [];
        const undo = element('button', { type: 'button', 'data-undo': '' }, '1 つ戻す');
        const update = () => {
            placedView.textContent = placed.map((entry) => entry.tile.shown).join('');
            undo.disabled = placed.length === 0;
            const folded = placed.map((entry) => entry.tile.folded);
            if (rules.isComplete(plan, folded))
                judge(rules.isCorrect(plan, folded));
        };
        plan.tiles.forEach((tile) => {
            const button = element('button', { type: 'button', 'data-tile': '' }, tile.shown);
            button.addEventListener('click', () => {
                button.disabled = true;
                placed.push({ tile, button });
                update();
            });
            group.append(button);
        });
        undo.addEventListener('click', () => {
            const last = placed.pop();
            if (last)
                last.button.disabled = false;
            update();
        });
        undo.disabled = true;
        box.append(placedView, group, undo);
    }

    function addReels(box, plan, judge) {
        const picks = plan.reels.map(() => null);
        const placedView = element('p', { class: 'placed', 'data-placed': '' });
        box.append(placedView);
        plan.reels.forEach((reel, r) => {
            const group = element('div', { class: 'tiles', 'data-reel': String(r) });
            for (const character of reel) {
                const button = element('button', { type: 'button', 'data-tile': '' }, character);
                button.addEventListener('click', () => {
                    picks[r] = character;
                    for (const other of group.children)
                        other.setAttribute('aria-pressed', String(other === button));
                    placedView.textContent = picks.map((pick) => pick || '＿').join('');
                    if (picks.every((pick) => pick !== null))
                        judge(rules.isCorrect(plan, picks));
                });
                group.append(button);
            }
            box.append(group);
        });
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
        });
        box.append(reveal, answer, judges);
    }

    playButton.addEventListener('click', startPlay);

    // 1 to 9 press the n-th choice (or tile), Enter goes on.
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
        if (/^[1-9]$/.test(event.key)) {
            const buttons = box.querySelectorAll('[data-choice]:not([disabled]), [data-tile]:not([disabled])');
            const button = buttons[Number(event.key) - 1];
            if (button) {
                event.preventDefault();
                button.click();
            }
        }
    });
})();
