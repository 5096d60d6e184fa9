-- Drives Neovim's own LSP client against vellumkit-lsp on a script of a
-- pulled folder, and writes what it saw as JSON for the test to check:
--   VK_LSP     the server program
--   VK_VBSDOC  the VBScript reference folder
--   VK_SCRIPT  the script file (its folder's manifest names its category)
--   VK_RESULT  where the JSON goes
-- It quits Neovim when done, and after 90 s whatever happened.

local result = { steps = {} }
local function note(step) table.insert(result.steps, step) end

local function finish()
  local file = io.open(os.getenv("VK_RESULT"), "w")
  file:write(vim.fn.json_encode(result))
  file:close()
  vim.cmd("qa!")
end

vim.defer_fn(function()
  result.timeout = true
  finish()
end, 90000)

local ok, failure = pcall(function()
  vim.lsp.set_log_level("ERROR")
  vim.cmd("edit " .. vim.fn.fnameescape(os.getenv("VK_SCRIPT")))
  local buf = vim.api.nvim_get_current_buf()
  local published = {}

  local config = {
    name = "vellumkit",
    cmd = { os.getenv("VK_LSP") },
    root_dir = vim.fn.fnamemodify(os.getenv("VK_SCRIPT"), ":h"),
    init_options = { vbsdoc = os.getenv("VK_VBSDOC") },
    flags = { debounce_text_changes = 50 },
    handlers = {
      ["textDocument/publishDiagnostics"] = function(err, params, ctx, cfg)
        table.insert(published, params)
        vim.lsp.diagnostic.on_publish_diagnostics(err, params, ctx, cfg)
      end,
    },
  }
  local id
  if vim.lsp.start then
    id = vim.lsp.start(config) -- Neovim 0.8 and later
  else
    id = vim.lsp.start_client(config)
    vim.lsp.buf_attach_client(buf, id)
  end
  local client = vim.lsp.get_client_by_id(id)
  assert(vim.wait(20000, function() return client.server_capabilities ~= nil end, 20),
    "the server did not answer initialize")
  note("initialized")
  assert(vim.wait(20000, function() return #published > 0 end, 20), "no diagnostics for the opened script")
  note("first diagnostics")

  local function uri() return vim.uri_from_bufnr(buf) end
  local function line_of(text)
    for i, line in ipairs(vim.api.nvim_buf_get_lines(buf, 0, -1, false)) do
      if line:find(text, 1, true) then return i - 1 end
    end
    error("no line holds " .. text)
  end

  -- A broken line gets a diagnostic.
  local at = line_of("Sub Form_OnLoad()") + 1
  local count = #published
  vim.api.nvim_buf_set_lines(buf, at, at, false, { "    total = (1 + 2" })
  assert(vim.wait(10000, function()
    for i = count + 1, #published do
      for _, d in ipairs(published[i].diagnostics) do
        if d.range.start.line == at then return true end
      end
    end
    return false
  end, 20), "no diagnostic for the broken line")
  result.broken = { line = at, messages = {} }
  for _, d in ipairs(published[#published].diagnostics) do
    if d.range.start.line == at and d.severity == 1 then table.insert(result.broken.messages, d.message) end
  end
  vim.api.nvim_buf_set_lines(buf, at, at + 1, false, {})
  note("broken line")

  -- Completion inside Form.Field(" offers the category's field names;
  -- its round trip is timed.
  local text = '    answer = Form.Field("'
  vim.api.nvim_buf_set_lines(buf, at, at, false, { text })
  local params = { textDocument = { uri = uri() }, position = { line = at, character = #text } }
  result.completion_ms = {}
  local items
  for _ = 1, 25 do
    local started = vim.loop.hrtime()
    local answers = vim.lsp.buf_request_sync(buf, "textDocument/completion", params, 10000)
    table.insert(result.completion_ms, (vim.loop.hrtime() - started) / 1e6)
    for _, answer in pairs(answers or {}) do
      if answer.result then items = answer.result.items or answer.result end
    end
  end
  result.fields = {}
  for _, item in ipairs(items or {}) do table.insert(result.fields, item.label) end
  vim.api.nvim_buf_set_lines(buf, at, at + 1, false, {})
  note("completion")

  -- Rename changes every reference.
  local declared = line_of("Dim mOriginalRegion")
  local column = vim.api.nvim_buf_get_lines(buf, declared, declared + 1, false)[1]:find("mOriginalRegion") - 1
  local answers = vim.lsp.buf_request_sync(buf, "textDocument/rename", {
    textDocument = { uri = uri() },
    position = { line = declared, character = column + 2 },
    newName = "mRegionAtLoad",
  }, 10000)
  for _, answer in pairs(answers or {}) do
    if answer.error then error("rename: " .. answer.error.message) end
    vim.lsp.util.apply_workspace_edit(answer.result, client.offset_encoding or "utf-16")
  end
  result.renamed = table.concat(vim.api.nvim_buf_get_lines(buf, 0, -1, false), "\n")
  note("rename")

  -- A clean end: shutdown and exit, and the server's exit code.
  client.stop()
  assert(vim.wait(10000, function() return client.is_stopped() end, 20), "the server did not stop")
  note("stopped")
end)

if not ok then result.failure = tostring(failure) end
finish()
