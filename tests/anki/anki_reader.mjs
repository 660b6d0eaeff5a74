// node tests/anki/anki_reader.mjs PACKAGE EXPECTED.json ANKI-READER
//
// anki-reader (npm, pinned; tools/setup.sh installs it outside the
// repository) reads zibconv's package: its decks, each card's note type
// and fields, as anki_readers.py expects them.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const [packagePath, expectedPath, readerDir] = process.argv.slice(2);
const { readAnkiPackage } = await import(pathToFileURL(path.join(readerDir, 'lib/src/index.js')).href);
const expected = JSON.parse(fs.readFileSync(expectedPath, 'utf8'));

const { collection } = await readAnkiPackage(new Blob([fs.readFileSync(packagePath)]));
const decks = Object.values(collection.getDecks());
assert.deepEqual(decks.map((deck) => deck.getName()).sort(), ['Default', expected.deck].sort());
const deck = decks.find((d) => d.getName() === expected.deck);
assert.equal(Object.keys(decks.find((d) => d.getName() === 'Default').getCards()).length, 0);
const cards = Object.values(deck.getCards()).map((card) => ({
    type: card.getModel().getName(),
    fields: card.getOrderedFields(),
    named: card.getFields(),
}));
assert.equal(cards.length, expected.cards.length);
cards.sort((a, b) => Number(a.fields.at(-1)) - Number(b.fields.at(-1)));
expected.cards.forEach((want, i) => {
    const got = cards[i];
    const where = `line ${want.line}`;
    assert.equal(got.type, want.type, where);
    assert.equal(got.fields.at(-1), want.line, where);
    assert.deepEqual(got.fields.slice(0, want.kind_fields.length), want.kind_fields, where);
    assert.deepEqual(Object.keys(got.named), want.names, where);
    assert.equal(got.named['行'], want.line, where);
});
const types = [...new Set(cards.map((c) => c.type))].sort();
console.log(`${cards.length} cards in deck "${expected.deck}", note types ${types.join(', ')}`);
