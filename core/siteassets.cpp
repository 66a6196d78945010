#include "siteassets.h"

namespace ZkHelp {

const char siteStyleSheet[] = R"css(html { -webkit-text-size-adjust: 100%; }
body { font-family: system-ui, 'Segoe UI', Roboto, 'Noto Sans', sans-serif; line-height: 1.55;
  color: #222; background: #fafafa; margin: 0; }
header, main { max-width: 46rem; margin: 0 auto; padding: 0.5rem 1rem; }
header { display: flex; flex-wrap: wrap; gap: 0.5rem 1rem; align-items: center;
  border-bottom: 1px solid #ddd; }
header nav ul, .languages { list-style: none; margin: 0; padding: 0; display: flex;
  flex-wrap: wrap; gap: 0.25rem 0.75rem; }
.search { display: flex; gap: 0.25rem; flex: 1 1 12rem; }
.search input { flex: 1; min-width: 0; font: inherit; padding: 0.2rem 0.4rem; }
.search button { font: inherit; }
.skip { position: absolute; left: -100vw; }
.skip:focus { position: static; }
a { color: #0b57a4; }
h1 { font-size: 1.6rem; line-height: 1.25; overflow-wrap: anywhere; }
h2 { font-size: 1.2rem; margin-top: 1.6rem; }
.meta { color: #666; font-size: 0.9rem; }
.description { font-style: italic; }
.text { white-space: pre-line; overflow-wrap: anywhere; }
.banner { background: #fff4ce; border: 1px solid #e0b400; padding: 0.5rem 0.75rem; }
.stale { color: #8a5a00; margin: 0; }
.note { color: #8a5a00; font-size: 0.9rem; }
.contents li, #results li { margin: 0.4rem 0; }
.topic { color: #666; font-size: 0.9rem; }
)css";

const char siteSearchScript[] = R"js((function () {
  'use strict';
  var index = window.zkhelpSearchIndex || { pages: [], rows: [] };
  var MAX_WORDS = 32;
  var WORD_START = /[\p{L}\p{N}]/u;
  var WORD = /[\p{L}\p{N}\p{M}]/u;
  var MARK = /\p{M}/u;
  var LATIN = /\p{Script=Latin}/u;
  var CJK = /[\p{Script=Han}\p{Script=Hiragana}\p{Script=Katakana}]/u;
  var OPTIONAL_MARKS =
    /(?=\p{M})[\p{Script=Inherited}\p{Script=Arabic}\p{Script=Hebrew}\p{Script=Syriac}]/gu;
  // Where folding a letter's case differs from lowering it.
  var FOLDED = { 'ς': 'σ', 'ϐ': 'β', 'ϑ': 'θ', 'ϕ': 'φ', 'ϖ': 'π', 'ϰ': 'κ', 'ϱ': 'ρ',
    'ϵ': 'ε', 'ſ': 's' };

  function matchedForm(text) {
    return text.normalize('NFC').replace(OPTIONAL_MARKS, '');
  }

  // As the index's words are folded: case, and the accents of Latin letters.
  function fold(word) {
    var plain = '';
    var latin = false;
    for (var c of matchedForm(word).normalize('NFD')) {
      if (!MARK.test(c))
        latin = LATIN.test(c);
      else if (latin)
        continue;
      plain += c;
    }
    return plain.toLowerCase().replace(/[ςϐϑϕϖϰϱϵſ]/g, function (c) { return FOLDED[c]; });
  }

  // A word's Chinese and Japanese runs kept separate from the rest, marks with the
  // letter before them.
  function runs(word) {
    var result = [];
    var run = null;
    for (var c of word) {
      if (run && WORD.test(c) && (CJK.test(c) === run.cjk || MARK.test(c))) {
        run.text += c;
        continue;
      }
      if (run)
        result.push(run);
      run = WORD_START.test(c) ? { text: c, cjk: CJK.test(c), prefix: false } : null;
    }
    if (run)
      result.push(run);
    return result;
  }

  function pairs(text) {
    var chars = Array.from(text);
    if (chars.length <= 1)
      return [text];
    var result = [];
    for (var k = 0; k + 1 < chars.length; ++k)
      result.push(chars[k] + chars[k + 1]);
    return result;
  }

  // The terms of a query, each a list of words (a phrase), with the words
  // past MAX_WORDS left out.
  function parse(text) {
    var terms = [];
    var seen = new Set();
    var words = 0;
    var truncated = false;
    function append(parsed) {
      if (!parsed.length || truncated)
        return;
      var key = parsed.map(function (w) { return fold(w.text) + (w.prefix ? '*' : ' '); }).join('');
      if (seen.has(key))
        return;
      seen.add(key);
      var kept = [];
      for (var w of parsed) {
        var length = Array.from(w.text).length;
        var cost = w.cjk ? Math.max(length - 1, 1) : 1;
        var left = MAX_WORDS - words;
        if (cost > left) {
          truncated = true;
          if (w.cjk && left > 0) {
            kept.push({ text: Array.from(w.text).slice(0, left + 1).join(''), cjk: true,
              prefix: false });
            words += left;
          }
          break;
        }
        kept.push(w);
        words += cost;
      }
      if (kept.length)
        terms.push(kept);
    }
    var chars = Array.from(text);
    var phrase = [];
    var inQuotes = false;
    var i = 0;
    while (i < chars.length && !truncated) {
      var c = chars[i++];
      if (c === '"') {
        append(phrase);
        phrase = [];
        inQuotes = !inQuotes;
        continue;
      }
      if (!WORD_START.test(c))
        continue;
      var word = c;
      while (i < chars.length && WORD.test(chars[i]))
        word += chars[i++];
      var prefix = i < chars.length && chars[i] === '*';
      if (prefix)
        ++i;
      var pieces = runs(matchedForm(word));
      if (prefix && pieces.length)
        pieces[pieces.length - 1].prefix = true;
      if (inQuotes)
        phrase = phrase.concat(pieces);
      else
        append(pieces);
    }
    append(phrase);
    return { terms: terms, truncated: truncated };
  }

  // The words a term asks for in a row, in order: a CJK run as its pairs.
  function wanted(term) {
    var result = [];
    term.forEach(function (w) {
      (w.cjk ? pairs(w.text) : [w.text]).forEach(function (t) {
        result.push({ text: fold(t), prefix: false });
      });
      if (w.prefix)
        result[result.length - 1].prefix = true;
    });
    return result;
  }

  function hasPhrase(words, phrase) {
    for (var start = 0; start + phrase.length <= words.length; ++start) {
      var k = 0;
      for (; k < phrase.length; ++k) {
        var word = words[start + k];
        var w = phrase[k];
        if (w.prefix ? !word.startsWith(w.text) : word !== w.text)
          break;
      }
      if (k === phrase.length)
        return true;
    }
    return false;
  }

  function split(words) {
    return words ? words.split(' ') : [];
  }

  function search(query) {
    var parsed = parse(query);
    var phrases = parsed.terms.map(wanted);
    var titleHits = [];
    var hits = [];
    if (!phrases.length)
      return { hits: hits, truncated: parsed.truncated };
    index.rows.forEach(function (row) {
      var title = split(row[3]);
      var text = split(row[4]);
      var inTitle = true;
      var found = phrases.every(function (phrase) {
        if (hasPhrase(title, phrase))
          return true;
        inTitle = false;
        return hasPhrase(text, phrase);
      });
      if (found)
        (inTitle ? titleHits : hits).push(row);
    });
    return { hits: titleHits.concat(hits), truncated: parsed.truncated };
  }

  function show(query) {
    var status = document.getElementById('status');
    var list = document.getElementById('results');
    var found = search(query);
    // Built off the page and added at once: one layout, not one per hit.
    var items = document.createDocumentFragment();
    found.hits.forEach(function (row) {
      var page = index.pages[row[0]];
      var item = document.createElement('li');
      var link = document.createElement('a');
      link.setAttribute('href', page[0] + row[1]);
      link.textContent = row[2] || page[1];
      item.appendChild(link);
      if (row[2]) {
        var topic = document.createElement('span');
        topic.className = 'topic';
        topic.textContent = ' ' + page[1];
        item.appendChild(topic);
      }
      items.appendChild(item);
    });
    list.appendChild(items);
    var said = found.hits.length ? found.hits.length + ' Treffer' : 'Keine Treffer.';
    if (found.truncated)
      said += ' (Suchanfrage gekuerzt auf ' + MAX_WORDS + ' Woerter)';
    status.textContent = said;
  }

  var query = new URLSearchParams(window.location.search).get('q') || '';
  var field = document.querySelector('input[name="q"]');
  if (field)
    field.value = query;
  if (query.trim())
    show(query);
})();
)js";

} // namespace ZkHelp
