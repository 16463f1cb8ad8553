// The customer's review page: choosing photos and approving pages. Every
// text from the server is shown with textContent, never as markup.
"use strict";

(function () {
  const $ = (id) => document.getElementById(id);
  let state = null;   // the last GET api/review
  let view = "pages"; // "photos" or "pages"
  let pageAt = 0;     // the page shown, from 0
  let viewerAt = -1;  // the photo in the viewer, -1 when closed
  let draftPin = null;
  let busy = false;

  const STATE_TEXT = { open: "待确认", approved: "已通过", changes: "要求修改" };

  function toast(text) {
    const t = $("toast");
    t.textContent = text;
    t.hidden = false;
    clearTimeout(toast.timer);
    toast.timer = setTimeout(() => { t.hidden = true; }, 2500);
  }

  function gone() {
    for (const id of ["view-photos", "view-pages", "tabs", "viewer", "dialog"]) $(id).hidden = true;
    $("view-gone").hidden = false;
  }

  async function load() {
    const res = await fetch("api/review", { cache: "no-store" });
    if (res.status === 404) return gone();
    if (!res.ok) return toast("网络错误, 请稍后刷新");
    state = await res.json();
    render();
  }

  async function post(path, body) {
    if (busy) return false;
    busy = true;
    try {
      const res = await fetch("api/" + path, {
        method: "POST",
        headers: { "Content-Type": "application/json" },
        body: JSON.stringify(body),
      });
      if (res.status === 404) { gone(); return false; }
      let answer = {};
      try { answer = await res.json(); } catch (e) { answer = {}; }
      if (!res.ok) toast(answer.message || "请求失败, 请稍后再试");
      await load();
      return res.ok;
    } catch (e) {
      toast("网络错误, 请稍后再试");
      return false;
    } finally {
      busy = false;
    }
  }

  // --- where the customer is survives a reload --------------------------
  function readHash() {
    const m = /^#(photos|pages)(?:\/(\d+))?$/.exec(location.hash);
    if (!m) return false;
    view = m[1];
    if (m[2]) pageAt = Math.max(0, parseInt(m[2], 10) - 1);
    return true;
  }

  function writeHash() {
    const hash = view === "pages" ? "#pages/" + (pageAt + 1) : "#photos";
    if (location.hash !== hash) history.replaceState(null, "", hash);
  }

  function show(which) {
    view = which;
    render();
  }

  // --- rendering ---------------------------------------------------------
  function render() {
    if (!state) return;
    $("title").textContent = state.customer ? state.customer + " 的选片看版" : "选片看版";
    const hasPhotos = state.photos.length > 0;
    if (!hasPhotos) view = "pages";
    $("tab-photos").hidden = !hasPhotos;
    $("tab-photos").classList.toggle("current", view === "photos");
    $("tab-pages").classList.toggle("current", view === "pages");
    $("view-photos").hidden = view !== "photos";
    $("view-pages").hidden = view !== "pages";
    renderPhotos();
    renderPage();
    renderViewer();
    writeHash();
  }

  function chosenCount() {
    return state.photos.filter((p) => p.chosen).length;
  }

  function renderPhotos() {
    const n = chosenCount();
    $("counter").textContent = state.choose > 0 ? "已选 " + n + " / " + state.choose : "已选 " + n;
    const locked = state.choice_confirmed;
    $("confirm-choice").disabled = locked || n === 0;
    $("confirm-choice").textContent = locked ? "选片已确认" : "确认选片";
    $("photo-note").textContent = locked
      ? "选片已确认, 如需更改请联系影楼"
      : "点按照片选中或取消, 点 ⤢ 看大图";
    const grid = $("photo-grid");
    if (grid.children.length !== state.photos.length) {
      grid.replaceChildren();
      for (const photo of state.photos) {
        const li = document.createElement("li");
        li.dataset.index = photo.index;
        const img = document.createElement("img");
        img.loading = "lazy";
        img.alt = photo.name;
        img.src = "thumbs/" + photo.index + ".jpg";
        const mark = document.createElement("span");
        mark.className = "mark";
        const zoom = document.createElement("button");
        zoom.type = "button";
        zoom.className = "zoom";
        zoom.textContent = "⤢";
        zoom.setAttribute("aria-label", "看大图");
        li.append(img, mark, zoom);
        grid.append(li);
      }
    }
    state.photos.forEach((photo, i) => {
      const li = grid.children[i];
      li.classList.toggle("chosen", photo.chosen);
      li.querySelector(".mark").textContent = photo.chosen ? "✓" : "";
      li.title = photo.name;
    });
  }

  function pageStateText(page) {
    if (page.state === "open" && page.revised) return "已修改,待确认";
    return STATE_TEXT[page.state] || page.state;
  }

  function renderPage() {
    const pages = state.pages;
    const none = pages.length === 0;
    $("page-frame").hidden = none;
    $("page-actions").hidden = none;
    $("approve-all").disabled = none;
    if (none) {
      $("page-number").textContent = "还没有版面";
      $("page-state").textContent = "";
      $("page-comment").hidden = true;
      $("approved-count").textContent = "";
      return;
    }
    pageAt = Math.min(pageAt, pages.length - 1);
    const page = pages[pageAt];
    $("page-number").textContent = "第 " + page.index + " / " + pages.length + " 版";
    const badge = $("page-state");
    badge.textContent = pageStateText(page);
    badge.className = "badge " + (page.revised && page.state === "open" ? "revised" : page.state);
    const src = "pages/" + page.index + ".jpg?v=" + encodeURIComponent(page.stamp);
    const img = $("page-image");
    if (img.getAttribute("src") !== src) img.src = src;
    $("prev").disabled = pageAt === 0;
    $("next").disabled = pageAt === pages.length - 1;
    const comment = $("page-comment");
    let said = page.comment || "";
    if (page.by) said = (said ? said + "\n" : "") + "签名: " + page.by;
    comment.textContent = said;
    comment.hidden = !said;
    const placing = !$("change-panel").hidden;
    const pin = placing ? draftPin : page.pin;
    $("pin").hidden = !pin;
    if (pin) {
      $("pin").style.left = pin[0] * 100 + "%";
      $("pin").style.top = pin[1] * 100 + "%";
    }
    $("page-frame").classList.toggle("placing", placing);
    const approved = pages.filter((p) => p.state === "approved").length;
    $("approved-count").textContent = "已通过 " + approved + " / " + pages.length;
  }

  function renderViewer() {
    const viewer = $("viewer");
    viewer.hidden = viewerAt < 0 || viewerAt >= state.photos.length;
    if (viewer.hidden) return;
    const photo = state.photos[viewerAt];
    $("viewer-image").src = "photos/" + photo.index + ".jpg";
    $("viewer-image").alt = photo.name;
    $("viewer-choose").textContent = photo.chosen ? "取消选中" : "选中";
    $("viewer-choose").disabled = state.choice_confirmed;
    $("viewer-prev").disabled = viewerAt === 0;
    $("viewer-next").disabled = viewerAt === state.photos.length - 1;
  }

  // --- choosing photos ---------------------------------------------------
  function toggle(i) {
    const photo = state.photos[i];
    if (state.choice_confirmed) return toast("选片已确认, 如需更改请联系影楼");
    if (!photo.chosen && state.choose > 0 && chosenCount() >= state.choose)
      return toast("最多可选 " + state.choose + " 张");
    post("photos/" + photo.index, { chosen: !photo.chosen });
  }

  $("photo-grid").addEventListener("click", (e) => {
    const li = e.target.closest("li");
    if (!li) return;
    const i = Array.prototype.indexOf.call(li.parentNode.children, li);
    if (e.target.closest(".zoom")) {
      viewerAt = i;
      return renderViewer();
    }
    toggle(i);
  });

  $("confirm-choice").addEventListener("click", () => {
    ask("确认选片", "已选 " + chosenCount() + " 张。确认后不能再改, 确认吗?", false, () =>
      post("confirm-choice", {}).then((ok) => ok && toast("选片已确认, 谢谢!")));
  });

  $("viewer-close").addEventListener("click", () => { viewerAt = -1; renderViewer(); });
  $("viewer-prev").addEventListener("click", () => { viewerAt--; renderViewer(); });
  $("viewer-next").addEventListener("click", () => { viewerAt++; renderViewer(); });
  $("viewer-choose").addEventListener("click", () => toggle(viewerAt));

  // --- pages ---------------------------------------------------------------
  function go(step) {
    if (!state || !state.pages.length) return;
    const next = Math.max(0, Math.min(state.pages.length - 1, pageAt + step));
    if (next === pageAt) return;
    pageAt = next;
    closeChange();
    render();
  }

  function closeChange() {
    $("change-panel").hidden = true;
    draftPin = null;
  }

  $("prev").addEventListener("click", () => go(-1));
  $("next").addEventListener("click", () => go(1));

  document.addEventListener("keydown", (e) => {
    if (e.target.closest("textarea, input")) return;
    if (viewerAt >= 0) {
      if (e.key === "ArrowLeft" && viewerAt > 0) { viewerAt--; renderViewer(); }
      if (e.key === "ArrowRight" && viewerAt < state.photos.length - 1) { viewerAt++; renderViewer(); }
      if (e.key === "Escape") { viewerAt = -1; renderViewer(); }
      return;
    }
    if (view !== "pages") return;
    if (e.key === "ArrowLeft") go(-1);
    if (e.key === "ArrowRight") go(1);
  });

  // A swipe across the page (or the viewer) turns to the next or previous.
  function swipe(element, onStep) {
    let start = null;
    element.addEventListener("touchstart", (e) => {
      start = e.touches.length === 1 ? { x: e.touches[0].clientX, y: e.touches[0].clientY } : null;
    }, { passive: true });
    element.addEventListener("touchend", (e) => {
      if (!start) return;
      const dx = e.changedTouches[0].clientX - start.x;
      const dy = e.changedTouches[0].clientY - start.y;
      start = null;
      if (Math.abs(dx) > 50 && Math.abs(dx) > 2 * Math.abs(dy)) onStep(dx < 0 ? 1 : -1);
    });
  }
  swipe($("page-frame"), go);
  swipe($("viewer-image"), (step) => {
    const next = viewerAt + step;
    if (next >= 0 && next < state.photos.length) { viewerAt = next; renderViewer(); }
  });

  $("page-frame").addEventListener("click", (e) => {
    if ($("change-panel").hidden) return;
    const box = $("page-image").getBoundingClientRect();
    const x = (e.clientX - box.left) / box.width;
    const y = (e.clientY - box.top) / box.height;
    if (x < 0 || x > 1 || y < 0 || y > 1) return;
    draftPin = [Math.round(x * 10000) / 10000, Math.round(y * 10000) / 10000];
    renderPage();
  });

  $("approve").addEventListener("click", () => {
    const page = state.pages[pageAt];
    closeChange();
    post("pages/" + page.index, { state: "approved", comment: "", pin: null, stamp: page.stamp })
      .then((ok) => ok && toast("第 " + page.index + " 版已通过"));
  });

  $("change").addEventListener("click", () => {
    const page = state.pages[pageAt];
    $("change-panel").hidden = false;
    $("comment").value = page.state === "changes" ? page.comment : "";
    draftPin = page.state === "changes" ? page.pin : null;
    countComment();
    renderPage();
    $("comment").focus();
  });

  $("cancel-change").addEventListener("click", () => { closeChange(); renderPage(); });

  function countComment() {
    $("comment-count").textContent = $("comment").value.length + " / 500";
  }
  $("comment").addEventListener("input", countComment);

  $("send-change").addEventListener("click", () => {
    const page = state.pages[pageAt];
    const comment = $("comment").value.trim();
    if (!comment && !draftPin) return toast("请写下修改意见或在版面上标出位置");
    const body = { state: "changes", comment: comment, pin: draftPin, stamp: page.stamp };
    post("pages/" + page.index, body).then((ok) => {
      if (!ok) return;
      closeChange();
      renderPage();
      toast("修改意见已提交");
    });
  });

  $("approve-all").addEventListener("click", () => {
    const changes = state.pages.filter((p) => p.state === "changes").length;
    const text = changes
      ? "要求修改的 " + changes + " 版保留修改意见, 其余版面全部通过。请写下您的姓名作为签名:"
      : "全部 " + state.pages.length + " 版通过。请写下您的姓名作为签名:";
    ask("全部通过", text, true, (name) => {
      if (!name.trim()) return toast("请签上您的姓名");
      const stamps = state.pages.map((p) => p.stamp);
      post("approve-all", { name: name.trim(), stamps: stamps })
        .then((ok) => ok && toast("已全部通过, 谢谢!"));
    });
  });

  // --- the question box ------------------------------------------------------
  function ask(title, text, withInput, onOk) {
    $("dialog-title").textContent = title;
    $("dialog-text").textContent = text;
    const input = $("dialog-input");
    input.hidden = !withInput;
    input.value = "";
    $("dialog").hidden = false;
    if (withInput) input.focus();
    ask.onOk = onOk;
  }
  $("dialog-cancel").addEventListener("click", () => { $("dialog").hidden = true; });
  $("dialog-ok").addEventListener("click", () => {
    $("dialog").hidden = true;
    if (ask.onOk) ask.onOk($("dialog-input").value);
  });

  $("tab-photos").addEventListener("click", () => show("photos"));
  $("tab-pages").addEventListener("click", () => show("pages"));

  const fromHash = readHash();
  load().then(() => {
    if (!fromHash && state && state.photos.length && !state.choice_confirmed) show("photos");
  });
})();
