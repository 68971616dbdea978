-- What the headless session checks (ardour-session.lua, ardour-lv2-session.lua) share: their
-- messages, a session on the dummy backend's test sines, stereo tracks that listen to them,
-- the tracks' levels, and the plug-in's parameters as Ardour holds them. A script loads it as
--   local kit = dofile(<its folder> .. "/ardour-session-kit.lua")(NAME, VALUE_TOLERANCE)
-- NAME starts every line the script writes; VALUE_TOLERANCE is how far a parameter may read
-- back from the value it was set to.
return function(name, value_tolerance)
  local kit = {}

  local function joined(...)
    local parts = {}
    for _, v in ipairs({ ... }) do parts[#parts + 1] = tostring(v) end
    return table.concat(parts, " ")
  end
  function kit.report(...) io.stderr:write(name .. ": " .. joined(...) .. "\n") end
  -- A failed check raises an error, which makes ardour7-lua exit with status 1.
  function kit.check(ok, ...)
    if not ok then error(name .. ": FAIL " .. joined(...), 0) end
  end
  function kit.near(a, b, tolerance) return math.abs(a - b) <= tolerance end
  function kit.same_value(a, b) return kit.near(a, b, value_tolerance) end

  -- A new session in `dir` on the "None (Dummy)" backend, whose inputs carry -18 dBFS sines
  -- of a random frequency each.
  function kit.create_session(dir)
    kit.check(AudioEngine:set_backend("None (Dummy)", "", ""), "no \"None (Dummy)\" audio backend")
    kit.check(AudioEngine:set_device_name("Sine Wave") == 0,
              "the dummy backend has no \"Sine Wave\" input")
    AudioEngine:set_sample_rate(48000)
    AudioEngine:set_buffer_size(256)
    kit.check(create_session(dir, "sparkwell", 48000), "cannot create a session in", dir)
  end

  -- A stereo track that listens to the backend's first two inputs, and nothing else.
  function kit.new_track(track_name)
    local track = Session:new_audio_track(2, 2, nil, 1, track_name,
                                          ARDOUR.PresentationInfo.max_order,
                                          ARDOUR.TrackMode.Normal, false):front()
    kit.check(not track:isnil(), "no stereo audio track")
    track:input():disconnect_all(nil)
    for c = 0, 1 do
      local capture = "system:capture_" .. (c + 1)
      track:input():audio(c):connect(capture)
      kit.check(track:input():audio(c):connected_to(capture), "cannot connect", track_name, "to",
                capture)
    end
    track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput,
                                         PBD.GroupControlDisposition.NoGroup)
    return track
  end

  -- Peak level of each output channel (dBFS) of each given track over 0.35 s, after 0.15 s
  -- for the change to settle. Each channel carries one sine in "Stereo" mode, so its output
  -- is periodic and the peak is steady.
  function kit.levels_of(tracks)
    ARDOUR.LuaAPI.usleep(150000)
    for _, t in ipairs(tracks) do t:peak_meter():reset_max() end
    ARDOUR.LuaAPI.usleep(350000)
    local result = {}
    for _, t in ipairs(tracks) do
      local meter = t:peak_meter()
      result[#result + 1] = { meter:meter_level(0, ARDOUR.MeterType.MeterMaxPeak),
                              meter:meter_level(1, ARDOUR.MeterType.MeterMaxPeak) }
    end
    return result
  end
  -- The levels of a new track before any plug-in. On a loaded machine the backend's first
  -- cycles may come after the first wait: measure again until the track carries signal (the
  -- script's own checks still judge the level).
  function kit.input_levels(track)
    local input = kit.levels_of({ track })[1]
    for _ = 1, 20 do
      if input[1] > -100 and input[2] > -100 then break end
      input = kit.levels_of({ track })[1]
    end
    return input
  end
  function kit.show(l) return string.format("%.3f / %.3f dBFS", l[1], l[2]) end
  -- Finite, audible and short of absurd: a NaN fails every comparison.
  function kit.check_sane(l, what)
    kit.check(l[1] > -100 and l[1] < 24 and l[2] > -100 and l[2] < 24, what,
              "out of any sane range:", kit.show(l))
  end
  function kit.same_levels(a, b, tolerance)
    return kit.near(a[1], b[1], tolerance) and kit.near(a[2], b[2], tolerance)
  end

  -- Parameter i of the plug-in processor `proc`, as Ardour's control holds it.
  function kit.param(proc, i)
    local value, refs = ARDOUR.LuaAPI.get_processor_param(proc, i, true)
    kit.check(refs[3], "Ardour has no control for parameter", i)
    return value
  end
  -- Sets it, as a user or an automation lane does, and reads it back.
  function kit.set_param(proc, i, value)
    kit.check(ARDOUR.LuaAPI.set_processor_param(proc, i, value), "Ardour cannot set parameter", i)
    kit.check(kit.same_value(kit.param(proc, i), value), "parameter", i, "set to", value,
              "reads back", kit.param(proc, i))
  end

  return kit
end
