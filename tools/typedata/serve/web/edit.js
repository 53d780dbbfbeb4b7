// Edit a config of a type in place. Saving sends the changed cells as
// `typedata set` takes them; the server checks them as set does and the
// page shows what set says, the types that received the config included.
import {
  anyAbout, el, getJson, groupItems, header, inUse, kindTitle, labelCell, legend, limitsCell, pad4, param, postJson, showError,
  shownValue, typeLink,
} from './common.js';

header('');
const number = Number(param('n'));
let configs = new Map();
let sharing = null;
// The revision of each config's file as this page read it: a save sends
// it, and the server refuses one whose file changed since (409).
let revisions = new Map();

async function load(wanted) {
  try {
    const [type, map] = await Promise.all([getJson(`/api/types/${number}`), getJson('/api/sharing')]);
    sharing = map;
    document.title = `Edit ${pad4(type.type)} ${type.name} · typedata`;
    document.getElementById('title').replaceChildren('Edit type ', typeLink(number), ` ${type.name}`);
    document.getElementById('view').href = `type.html?n=${number}`;
    configs = groupItems(type.items);
    revisions = new Map(type.revisions.map((r) => [r.config, r]));
    showBroken(type.broken ?? []);
    const select = document.getElementById('config');
    select.replaceChildren(...[...configs.keys()].map((config) => el('option', { value: config }, config)));
    select.value = configs.has(wanted) ? wanted : select.options[0]?.value;
    render();
  } catch (error) {
    showError(error);
  }
}

function render() {
  const config = document.getElementById('config').value;
  const kinds = configs.get(config) ?? new Map();
  const row = (kind, item, about) => el('tr', {},
    el('td', { class: 'number' }, item.item),
    about ? labelCell(item) : null,
    el('td', {}, item.dataType),
    el('td', {}, el('input', {
      type: 'text', class: 'cell', value: shownValue(item), 'data-kind': kind, 'data-item': item.item,
      'data-original': shownValue(item), oninput: edited,
    })),
    about ? limitsCell(item) : null);
  const grid = (kind, items, about = anyAbout(items)) => el('div', {},
    el('h3', {}, kindTitle(kind)),
    el('table', { 'data-kind': kind },
      el('thead', {}, el('tr', {}, el('th', { class: 'number' }, 'Item'), about ? el('th', {}, 'Label') : null,
        el('th', {}, 'Data type'), el('th', {}, 'Value'), about ? el('th', { class: 'number' }, 'Limits') : null)),
      el('tbody', {}, items.filter(inUse).map((item) => row(kind, item, about)))));
  document.getElementById('content').replaceChildren(
    el('div', { class: 'kinds' }, [...kinds].map(([kind, items]) => grid(kind, items))), legend());
  showPushes(config);
  edited();
}

// Configs whose file cannot be read: named with check's reason; the others
// can still be edited.
function showBroken(broken) {
  const box = document.getElementById('broken');
  box.hidden = broken.length === 0;
  box.replaceChildren(...broken.map((b) => el('div', { 'data-config': b.config },
    `${b.config} cannot be edited: ${b.file}: ${b.problem}`)));
}

// Who receives this config when it is saved: from the sharing map.
function showPushes(config) {
  const box = document.getElementById('pushes');
  const entry = sharing?.configs.find((c) => c.config === config);
  const group = entry?.groups.find((g) => g.types.some((t) => t.number === number));
  const others = group ? group.types.filter((t) => t.number !== number) : [];
  box.hidden = false;
  box.replaceChildren(others.length
    ? el('span', {}, `Saving ${config} also writes it to `, others.map((t, i) => [i ? ', ' : '', typeLink(t.number, `${pad4(t.number)} ${t.name}`)]),
      ` (name part ${entry.part} '${group.part}').`)
    : `${config} is not shared with another type.`);
}

function changedCells() {
  return [...document.querySelectorAll('input.cell')].filter((input) => input.value !== input.dataset.original);
}

function edited() {
  for (const input of document.querySelectorAll('input.cell')) input.classList.toggle('edited', input.value !== input.dataset.original);
  const count = changedCells().length;
  document.getElementById('save').disabled = count === 0;
  document.getElementById('revert').disabled = count === 0;
  document.getElementById('save').textContent = count ? `Save ${count} change${count === 1 ? '' : 's'}` : 'Save';
}

// The set document in the words `typedata set` prints it.
function savedLines(set) {
  const plural = set.changes.length === 1 ? '' : 's';
  return [
    el('div', {}, `Type ${pad4(set.type)} '${set.name}': ${set.changes.length} value${plural} set.`),
    ...set.saved.map((file) => el('div', {}, `  saved ${file}`)),
    ...(set.shared.length ? set.shared.map((file) => el('div', { class: 'shared' },
      `  shared with type ${pad4(file.type)} '${file.name}': ${file.file}`)) : [el('div', {}, '  no other type shares a changed config')]),
  ];
}

// A save refused because the file changed since this page read it: what
// changed, value by value, and the choice of saving over it or reading
// the values anew (which drops the edits).
function showConflict(result, body) {
  const config = document.getElementById('config').value;
  const saveOver = el('button', { id: 'save-over' }, 'Save mine over it');
  const reload = el('button', { id: 'reload', class: 'plain' }, 'Discard mine and reload');
  saveOver.addEventListener('click', () => {
    revisions = new Map(body.revisions.map((r) => [r.config, r]));
    save();
  });
  reload.addEventListener('click', () => load(config));
  result.replaceChildren(
    el('div', { class: 'bad' }, body.error),
    ...body.changed.map((c) => el('div', { class: 'changed-value' }, c.seen === null
      ? `  ${c.config} ${c.kind}:${c.item}: now ${c.now}`
      : `  ${c.config} ${c.kind}:${c.item}: ${c.seen} → ${c.now}`)),
    el('div', { class: 'toolbar' }, saveOver, reload));
}

async function save() {
  const config = document.getElementById('config').value;
  const changes = changedCells().map((input) => `${input.dataset.kind}:${input.dataset.item}=${input.value}`);
  const result = document.getElementById('result');
  const seen = revisions.get(config);
  try {
    const answer = await postJson(`/api/types/${number}/set`, {
      config, changes, strict: document.getElementById('strict').checked,
      revisions: seen ? { [seen.file]: seen.revision } : {},
    });
    result.hidden = false;
    result.dataset.status = answer.status;
    if (answer.status === 409) return showConflict(result, answer.body);
    result.replaceChildren(...answer.body.messages.map((line) => el('div', { class: answer.ok ? null : 'bad' }, line)),
      ...(answer.ok ? savedLines(answer.body) : [el('div', { class: 'bad' }, answer.body.error)]));
    if (answer.ok) await load(config);
  } catch (error) {
    showError(error);
  }
}

document.getElementById('config').addEventListener('change', () => {
  history.replaceState(null, '', `edit.html?n=${number}&config=${encodeURIComponent(document.getElementById('config').value)}`);
  render();
});
document.getElementById('save').addEventListener('click', save);
document.getElementById('revert').addEventListener('click', render);
load(param('config'));
