// A type: each config as one grid per kind. Values that differ from the
// machine's default are marked; items not in use are greyed.
import {
  anyAbout, el, getJson, groupItems, header, inUse, kindTitle, labelCell, legend, limitsCell, pad4, param, showError, shownValue,
} from './common.js';

header('');
const number = Number(param('n'));

async function load() {
  try {
    const type = await getJson(`/api/types/${number}`);
    document.title = `${pad4(type.type)} ${type.name} · typedata`;
    document.getElementById('title').textContent = `Type ${pad4(type.type)} ${type.name}`;
    const sections = [];
    const grouped = groupItems(type.items);
    // A config whose file cannot be read keeps its place, marked with the
    // reason check gives; the others are shown as ever.
    const broken = new Map((type.broken ?? []).map((b) => [b.config, b]));
    for (const { config } of type.revisions) {
      if (!broken.has(config)) continue;
      const b = broken.get(config);
      grouped.set(config, null);
      sections.push(el('section', { 'data-config': config, class: 'broken' },
        el('h2', {}, config),
        el('div', { class: 'error' }, `${b.file}: ${b.problem}`)));
    }
    for (const [config, kinds] of grouped) {
      if (kinds === null) continue;
      sections.push(el('section', { 'data-config': config },
        el('h2', {}, config, ' ', el('a', { href: `edit.html?n=${number}&config=${encodeURIComponent(config)}`, class: 'muted' }, 'edit')),
        el('div', { class: 'kinds' }, [...kinds].map(([kind, items]) => grid(kind, items)))));
    }
    const order = type.revisions.map((r) => r.config);
    sections.sort((a, b) => order.indexOf(a.dataset.config) - order.indexOf(b.dataset.config));
    document.getElementById('content').replaceChildren(...sections, legend());
  } catch (error) {
    showError(error);
  }
}

function grid(kind, items) {
  const numeric = kind !== 'V';
  const about = anyAbout(items);
  return el('div', {},
    el('h3', {}, kindTitle(kind)),
    el('table', { class: 'kind', 'data-kind': kind },
      el('thead', {}, el('tr', {}, el('th', { class: 'number' }, 'Item'), about ? el('th', {}, 'Label') : null,
        el('th', {}, 'Data type'), el('th', {}, 'Value'),
        numeric ? el('th', {}, 'Default') : null, about ? el('th', { class: 'number' }, 'Limits') : null, el('th', {}, 'In use'))),
      el('tbody', {}, items.map((item) => el('tr', {
        class: [!inUse(item) ? 'unused' : '', numeric && inUse(item) && item.value !== item.default ? 'from-default' : ''].join(' ').trim() || null,
        title: numeric && inUse(item) && item.value !== item.default ? 'differs from the default' : null,
      },
        el('td', { class: 'number' }, item.item),
        about ? labelCell(item) : null,
        el('td', {}, item.dataType.trim() || '—'),
        el('td', { class: numeric ? 'number value' : 'value' }, shownValue(item)),
        numeric ? el('td', { class: 'number' }, String(item.default)) : null,
        about ? limitsCell(item) : null,
        el('td', {}, inUse(item) ? 'yes' : 'no'))))));
}

load();
