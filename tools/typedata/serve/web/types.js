// The catalogue: filtered, sorted and paged by the server, so a tree of
// 9,999 types answers as quickly as one of ten.
import { el, getJson, header, pad4, showError, typeLink } from './common.js';

header('types.html');
const pageSize = 100;
const state = { filter: '', sort: 'number', offset: 0 };
const selected = new Set();
let asked = 0;  // answers to older questions are dropped

async function load() {
  const question = ++asked;
  const query = new URLSearchParams({ filter: state.filter, sort: state.sort, offset: state.offset, limit: pageSize });
  try {
    const page = await getJson(`/api/types?${query}`);
    if (question !== asked) return;
    showError(null);
    render(page);
  } catch (error) {
    showError(error);
  }
}

function render(page) {
  const body = document.querySelector('#types tbody');
  body.replaceChildren(...page.types.map((type) => el('tr', { 'data-number': type.number },
    el('td', {}, el('input', {
      type: 'checkbox', checked: selected.has(type.number), title: 'compare',
      onchange: (event) => { event.target.checked ? selected.add(type.number) : selected.delete(type.number); updateCompare(); },
    })),
    el('td', { class: 'number' }, typeLink(type.number, pad4(type.number))),
    el('td', {}, type.name),
    el('td', {}, type.parts.map((part) => el('span', { class: 'chip' }, part))),
    el('td', {}, type.current ? el('span', { class: 'current' }, 'current') : ''),
    el('td', {}, el('a', { href: `edit.html?n=${type.number}` }, 'edit')))));
  const last = page.offset + page.types.length;
  document.getElementById('summary').textContent = page.matched === 0
    ? `no type matches (of ${page.total})`
    : `${page.offset + 1}–${last} of ${page.matched}` + (page.matched !== page.total ? ` matching (${page.total} types)` : ' types');
  document.getElementById('previous').disabled = page.offset === 0;
  document.getElementById('next').disabled = last >= page.matched;
  for (const th of document.querySelectorAll('th.sortable')) th.classList.toggle('sorted', th.dataset.sort === state.sort);
}

function updateCompare() {
  const button = document.getElementById('compare');
  button.disabled = selected.size < 2;
  button.textContent = selected.size ? `Compare selected (${selected.size})` : 'Compare selected';
}

let typing = 0;
document.getElementById('filter').addEventListener('input', (event) => {
  clearTimeout(typing);
  typing = setTimeout(() => { state.filter = event.target.value.trim(); state.offset = 0; load(); }, 120);
});
for (const th of document.querySelectorAll('th.sortable')) {
  th.addEventListener('click', () => { state.sort = th.dataset.sort; state.offset = 0; load(); });
}
document.getElementById('previous').addEventListener('click', () => { state.offset = Math.max(0, state.offset - pageSize); load(); });
document.getElementById('next').addEventListener('click', () => { state.offset += pageSize; load(); });
document.getElementById('compare').addEventListener('click', () => {
  location.href = `compare.html?types=${[...selected].sort((a, b) => a - b).join(',')}`;
});
load();
