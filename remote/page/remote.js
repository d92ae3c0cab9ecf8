'use strict';
// The remote page: pairs with the code from the address or typed in, sends the buttons'
// commands with the session's token, shows the prompt's figures, and reconnects by itself.
(function () {
  const $ = (id) => document.getElementById(id);
  let socket = null;
  let token = sessionStorage.getItem('tellvane-token') || '';
  let code = new URLSearchParams(location.hash.slice(1)).get('code') || '';
  let retry = 500;
  // The code stays out of the address bar and the history once read.
  if (location.hash) history.replaceState(null, '', location.pathname);

  function connected(on, text) {
    $('connection').textContent = text || (on ? 'Connected' : 'Not connected');
    $('connection').className = on ? 'on' : 'off';
  }

  function showPairing(message) {
    $('pairing').hidden = false;
    $('remote').className = 'unpaired';
    $('pairing-error').textContent = message || '';
  }

  function send(message) {
    if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(message));
  }

  function clock(ms) {
    if (ms === null || ms === undefined) return '\u2013';
    const s = Math.round(ms / 1000);
    const pad = (n) => String(n).padStart(2, '0');
    return Math.floor(s / 3600) > 0
      ? Math.floor(s / 3600) + ':' + pad(Math.floor(s / 60) % 60) + ':' + pad(s % 60)
      : pad(Math.floor(s / 60)) + ':' + pad(s % 60);
  }

  function show(status) {
    $('speed').textContent = status.speed;
    $('elapsed').textContent = clock(status.elapsed);
    $('left').textContent = clock(status.left);
    $('state').textContent = status.blank ? 'Blank' : status.state;
    const percent = Math.round((status.progress || 0) * 100);
    $('progress-bar').style.width = percent + '%';
    $('percent').textContent = percent + ' %';
    $('progress').setAttribute('aria-valuenow', String(percent));
    $('line').textContent = status.line || '\u00a0';
    document.querySelector('[data-command="follow"]').setAttribute('aria-pressed', String(!!status.follow));
  }

  function receive(event) {
    let message;
    try { message = JSON.parse(event.data); } catch (e) { return; }
    if (message.paired) {
      token = message.paired;
      sessionStorage.setItem('tellvane-token', token);
      $('pairing').hidden = true;
      $('remote').className = '';
      connected(true);
    } else if (message.status) {
      show(message.status);
    } else if (message.error) {
      if (message.error === 'not paired' || message.error === 'disconnected') {
        token = '';
        sessionStorage.removeItem('tellvane-token');
        showPairing(message.error === 'disconnected' ? 'Disconnected by the presenter.' : '');
      } else if (message.error === 'wrong code') {
        showPairing('That code is not the one shown. Try again.');
      } else if (message.error === 'refused') {
        showPairing('Too many wrong codes. Wait a minute.');
      } else if (message.error === 'too many devices') {
        showPairing('Four devices are paired already.');
      }
    }
  }

  function connect() {
    socket = new WebSocket('ws://' + location.host + '/socket');
    socket.onopen = () => {
      retry = 500;
      connected(true, 'Connected, not paired');
      if (token) send({ token: token });
      else if (code) { send({ pair: code }); code = ''; }
      else showPairing();
    };
    socket.onmessage = receive;
    socket.onclose = () => {
      connected(false);
      // Back off up to five seconds between tries.
      setTimeout(connect, retry);
      retry = Math.min(retry * 2, 5000);
    };
  }

  $('pairing').addEventListener('submit', (event) => {
    event.preventDefault();
    send({ pair: $('code').value.trim() });
  });
  for (const button of document.querySelectorAll('#buttons button')) {
    button.addEventListener('click', () => send({ token: token, command: button.dataset.command }));
  }
  $('remote').className = 'unpaired';
  connect();
})();
