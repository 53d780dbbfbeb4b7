// The sharing map: one column per name-part position, the configs that
// follow it on top, below them every part at that position with its types.
// Saving one of those configs of a type writes it to all the types of its part.
import { el, getJson, header, pad4, showError, typeLink } from './common.js';

header('sharing.html');
let map = null;

function render(highlight) {
  const positions = [];
  for (let p = 1; p <= map.partCount; ++p) {
    const configs = map.configs.filter((c) => c.part === p);
    const groups = configs.length ? configs[0].groups : [];
    const largest = Math.max(1, ...groups.map((g) => g.types.length));
    positions.push(el('div', { class: 'position', 'data-position': p },
      el('h2', {}, `Name part ${p}`),
      el('div', { class: 'configs' }, configs.length
        ? configs.map((c) => el('span', { class: 'config-tag' }, c.config))
        : el('span', { class: 'muted' }, 'no config follows this part')),
      configs.length ? groups.map((group) => {
        const bar = el('span', { class: 'bar' });
        bar.style.width = `${Math.round(80 * group.types.length / largest) + 4}px`;
        const holds = highlight !== null && group.types.some((t) => t.number === highlight);
        return el('button', {
          class: holds ? 'part selected' : 'part', 'data-part': group.part,
          onclick: () => list(p, configs, group),
        }, el('span', { class: 'name' }, group.part), bar, el('span', { class: 'muted' },
          `${group.types.length} type${group.types.length === 1 ? '' : 's'}`));
      }) : null));
  }
  const unshared = map.configs.filter((c) => c.part === 0).map((c) => c.config);
  document.getElementById('content').replaceChildren(
    el('div', { class: 'map' }, positions),
    unshared.length ? el('p', { class: 'muted' }, `Not shared (each type keeps its own): ${unshared.join(', ')}.`) : null,
    el('div', { id: 'members' }));
  if (highlight !== null) pushesOf(highlight);
}

// Where the saves of one type go, config by config.
function pushesOf(number) {
  const lines = map.configs.filter((c) => c.part > 0).map((c) => {
    const group = c.groups.find((g) => g.types.some((t) => t.number === number));
    const others = group ? group.types.filter((t) => t.number !== number) : [];
    return el('li', {}, `${c.config} (part ${c.part}${group ? ` '${group.part}'` : ''}): `,
      others.length ? others.map((t, i) => [i ? ', ' : '', typeLink(t.number, `${pad4(t.number)} ${t.name}`)])
        : el('span', { class: 'muted' }, 'no other type'));
  });
  document.getElementById('members').replaceChildren(el('div', { class: 'members' },
    el('h2', {}, `Saving type ${pad4(number)} writes its shared configs to`), el('ul', {}, lines)));
}

function list(position, configs, group) {
  const names = configs.map((c) => c.config).join(', ');
  document.getElementById('members').replaceChildren(el('div', { class: 'members' },
    el('h2', {}, `'${group.part}' at name part ${position}: ${group.types.length} type${group.types.length === 1 ? '' : 's'} share ${names}`),
    el('ul', {}, group.types.map((t) => el('li', {}, typeLink(t.number, `${pad4(t.number)} ${t.name}`))))));
}

async function load() {
  try {
    map = await getJson('/api/sharing');
    render(null);
  } catch (error) {
    showError(error);
  }
}

document.getElementById('type').addEventListener('input', (event) => {
  const text = event.target.value.trim();
  if (map) render(text === '' ? null : Number(text));
});
load();
