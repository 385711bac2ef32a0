// The sample register of the benchmark page: renders the samples table, sorts and filters it,
// and registers scanned barcodes. The bench/ events tell the benchmark's server what happened,
// so every candidate's figures are taken by the same clock.
'use strict';

const COLUMNS = [
  ['id', '样品编号'], ['barcode', '条码'], ['type', '类型'], ['test', '检测项目'],
  ['status', '状态'], ['patient', '患者编号'], ['dept', '科室'], ['received', '接收时间'],
  ['priority', '优先级'], ['analyst', '检验员'], ['result', '结果'],
];

function benchEvent(name, body) {
  const url = '/bench/event?ev=' + encodeURIComponent(name) +
      '&t=' + Math.round(performance.now());
  return fetch(url, { method: body === undefined ? 'GET' : 'POST', body, cache: 'no-store',
                      keepalive: true }).catch(() => {});
}

function compareBy(key, ascending) {
  return (a, b) => {
    const x = a[key], y = b[key];
    const order = typeof x === 'number' && typeof y === 'number'
        ? x - y : String(x).localeCompare(String(y), 'zh-CN');
    return ascending ? order : -order;
  };
}

function matches(sample, words) {
  if (words.length === 0)
    return true;
  const text = COLUMNS.map(([key]) => sample[key]).join(' ').toLowerCase();
  return words.every((word) => text.includes(word));
}

function formatResult(sample) {
  if (sample.value === null)
    return '—';
  const digits = sample.unit === 'mmol/L' ? 2 : sample.unit === 'g/L' ? 1 : 0;
  return sample.value.toFixed(digits) + ' ' + sample.unit;
}

class SampleRegister {
  constructor(samples) {
    this.samples = samples.map((s) => Object.assign({}, s, { result: formatResult(s) }));
    this.sortKey = 'id';
    this.ascending = true;
    this.filterWords = [];
    this.byBarcode = new Map(this.samples.map((s) => [s.barcode, s]));
  }

  visible() {
    return this.samples.filter((s) => matches(s, this.filterWords))
        .sort(compareBy(this.sortKey, this.ascending));
  }

  renderHead(thead) {
    const row = document.createElement('tr');
    for (const [key, title] of COLUMNS) {
      const th = document.createElement('th');
      th.textContent = title + (key === this.sortKey ? (this.ascending ? ' ▲' : ' ▼') : '');
      th.dataset.key = key;
      row.appendChild(th);
    }
    thead.replaceChildren(row);
  }

  renderBody(tbody) {
    const fragment = document.createDocumentFragment();
    for (const sample of this.visible()) {
      const tr = document.createElement('tr');
      if (sample.priority === '急诊')
        tr.className = 'urgent';
      for (const [key] of COLUMNS) {
        const td = document.createElement('td');
        td.textContent = sample[key];
        tr.appendChild(td);
      }
      fragment.appendChild(tr);
    }
    tbody.replaceChildren(fragment);
  }

  summary() {
    const counts = new Map();
    for (const s of this.samples)
      counts.set(s.status, (counts.get(s.status) || 0) + 1);
    const parts = [...counts].sort(compareBy(0, true)).map(([status, n]) => status + ' ' + n);
    return '共 ' + this.samples.length + ' 个样品：' + parts.join('，');
  }

  sortBy(key) {
    this.ascending = key === this.sortKey ? !this.ascending : true;
    this.sortKey = key;
  }

  setFilter(text) {
    this.filterWords = text.toLowerCase().split(/\s+/).filter((w) => w.length > 0);
  }

  register(barcode) {
    const sample = this.byBarcode.get(barcode);
    if (sample)
      sample.status = '已接收';
    return sample;
  }
}

document.addEventListener('DOMContentLoaded', () => {
  const register = new SampleRegister(SAMPLES);
  const table = document.getElementById('samples');
  const summary = document.getElementById('summary');
  const render = () => {
    register.renderHead(table.tHead);
    register.renderBody(table.tBodies[0]);
    summary.textContent = register.summary();
  };
  render();

  table.tHead.addEventListener('click', (event) => {
    const key = event.target.dataset && event.target.dataset.key;
    if (key) {
      register.sortBy(key);
      render();
    }
  });
  document.getElementById('filter').addEventListener('input', (event) => {
    register.setFilter(event.target.value);
    render();
  });

  // A scanner types the code and ends it with Enter; the field is outside the login form so
  // Enter never submits it.
  const barcode = document.getElementById('barcode');
  barcode.addEventListener('focus', () => benchEvent('focus'));
  barcode.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter')
      return;
    event.preventDefault();
    const code = barcode.value;
    benchEvent('scan', code);
    const sample = register.register(code);
    document.getElementById('lastScan').textContent = sample ? '已接收 ' + sample.id : '未知条码';
    barcode.value = '';
  });
});

window.addEventListener('load', () => benchEvent('load'));
