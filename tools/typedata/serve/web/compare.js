// Two or more types side by side; the server marks each cell whose value
// differs from the first type's, and leaves out equal rows unless asked.
import { anyAbout, el, getJson, header, kindTitle, labelCell, pad4, param, showError, typeLink } from './common.js';

header('compare.html');
const form = document.getElementById('form');

async function loadConfigs() {
  const map = await getJson('/api/sharing');
  const select = document.getElementById('config');
  select.append(...map.configs.map((c) => el('option', { value: c.config }, c.config)));
  select.value = param('config') ?? '';
}

async function compare() {
  const query = new URLSearchParams({
    types: document.getElementById('types').value.split(/[\s,]+/).filter(Boolean).join(','),
    config: document.getElementById('config').value,
    all: document.getElementById('only').checked ? '0' : '1',
  });
  history.replaceState(null, '', `compare.html?${query}`);
  try {
    const result = await getJson(`/api/compare?${query}`);
    showError(null);
    document.getElementById('summary').textContent =
      `${result.differing} item${result.differing === 1 ? '' : 's'} differ${result.differing === 1 ? 's' : ''}` +
      (result.config ? ` in ${result.config}` : '');
    const about = anyAbout(result.rows);
    document.getElementById('content').replaceChildren(el('table', { id: 'comparison' },
      el('thead', {}, el('tr', {}, el('th', {}, 'Config'), el('th', {}, 'Kind'), el('th', { class: 'number' }, 'Item'),
        about ? el('th', {}, 'Label') : null, el('th', {}, 'Data type'), result.types.map((t) => el('th', {}, typeLink(t.number, `${pad4(t.number)} ${t.name}`))))),
      el('tbody', {}, result.rows.map((row) => el('tr', {},
        el('td', {}, row.config), el('td', { title: kindTitle(row.kind) }, row.kind), el('td', { class: 'number' }, row.item),
        about ? labelCell(row) : null, el('td', {}, row.dataType),
        row.values.map((value, i) => value === null
          ? el('td', { class: 'value broken', title: 'this config of the type cannot be read' }, '—')
          : el('td', { class: row.differs[i] ? 'differs value' : 'value' }, value)))))));
    // Types compared in part: which configs were left out, and why.
    const broken = result.types.flatMap((t) => (t.broken ?? []).map((b) => el('div', {},
      `${pad4(t.number)} ${t.name}: ${b.config} left out: ${b.file}: ${b.problem}`)));
    const box = document.getElementById('broken');
    if (box) { box.hidden = broken.length === 0; box.replaceChildren(...broken); }
  } catch (error) {
    showError(error);
    document.getElementById('content').replaceChildren();
  }
}

form.addEventListener('submit', (event) => { event.preventDefault(); compare(); });
document.getElementById('only').addEventListener('change', compare);
document.getElementById('config').addEventListener('change', compare);
document.getElementById('types').value = (param('types') ?? '').split(',').join(', ');
document.getElementById('only').checked = param('all') !== '1';
loadConfigs().catch(showError).then(() => { if (param('types')) compare(); });
