// A type: each config as one grid per kind. Values that differ from the
// machine's default are marked; items not in use are greyed.
import { el, getJson, groupItems, header, inUse, pad4, param, showError, shownValue } from './common.js';

header('');
const number = Number(param('n'));

async function load() {
  try {
    const type = await getJson(`/api/types/${number}`);
    document.title = `${pad4(type.type)} ${type.name} · typedata`;
    document.getElementById('title').textContent = `Type ${pad4(type.type)} ${type.name}`;
    const sections = [];
    for (const [config, kinds] of groupItems(type.items)) {
      sections.push(el('section', { 'data-config': config },
        el('h2', {}, config, ' ', el('a', { href: `edit.html?n=${number}&config=${encodeURIComponent(config)}`, class: 'muted' }, 'edit')),
        el('div', { class: 'kinds' }, [...kinds].map(([kind, items]) => grid(kind, items)))));
    }
    document.getElementById('content').replaceChildren(...sections);
  } catch (error) {
    showError(error);
  }
}

function grid(kind, items) {
  const numeric = kind !== 'V';
  return el('div', {},
    el('h3', {}, `[${kind}]`),
    el('table', { class: 'kind', 'data-kind': kind },
      el('thead', {}, el('tr', {}, el('th', { class: 'number' }, 'Item'), el('th', {}, 'Data type'), el('th', {}, 'Value'),
        numeric ? el('th', {}, 'Default') : null, el('th', {}, 'In use'))),
      el('tbody', {}, items.map((item) => el('tr', {
        class: [!inUse(item) ? 'unused' : '', numeric && inUse(item) && item.value !== item.default ? 'from-default' : ''].join(' ').trim() || null,
        title: numeric && inUse(item) && item.value !== item.default ? 'differs from the default' : null,
      },
        el('td', { class: 'number' }, item.item),
        el('td', {}, item.dataType.trim() || '—'),
        el('td', { class: numeric ? 'number value' : 'value' }, shownValue(item)),
        numeric ? el('td', { class: 'number' }, String(item.default)) : null,
        el('td', {}, inUse(item) ? 'yes' : 'no'))))));
}

load();
